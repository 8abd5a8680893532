# SPDX-License-Identifier: GPL-3.0-or-later
# Fails when a core source includes a header of a layer above its own, of a front end, or of Qt.
#   SOURCE_DIR  the src/ folder
#   LAYERS      the core's layers, lowest first
#   RULES       "layer=below1;below2" entries: the layers each one links directly
#   STAMP       written when every include is in order
cmake_minimum_required(VERSION 3.25)

# What a layer may include: itself and everything below it, transitively.
foreach(rule IN LISTS RULES)
    string(REPLACE "=" ";" parts "${rule}")
    list(GET parts 0 layer)
    list(LENGTH parts count)
    set(direct_${layer})
    if(count GREATER 1)
        list(SUBLIST parts 1 -1 direct_${layer})
    endif()
endforeach()
foreach(layer IN LISTS LAYERS)
    set(allowed_${layer} ${layer})
    set(pending ${direct_${layer}})
    while(pending)
        list(POP_FRONT pending next)
        if(NOT next IN_LIST allowed_${layer})
            list(APPEND allowed_${layer} ${next})
            list(APPEND pending ${direct_${next}})
        endif()
    endwhile()
endforeach()

set(problems)
foreach(layer IN LISTS LAYERS)
    file(GLOB files ${SOURCE_DIR}/${layer}/*.h ${SOURCE_DIR}/${layer}/*.cpp)
    foreach(file IN LISTS files)
        file(STRINGS ${file} includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
        foreach(line IN LISTS includes)
            if(line MATCHES "#[ \t]*include[ \t]*\"([a-z]+)/")
                set(folder ${CMAKE_MATCH_1})
                if(NOT folder IN_LIST allowed_${layer})
                    list(APPEND problems "${file}: ${layer} may not include ${folder}/: ${line}")
                endif()
            elseif(line MATCHES "#[ \t]*include[ \t]*<Q")
                list(APPEND problems "${file}: the core may not include Qt: ${line}")
            endif()
        endforeach()
    endforeach()
endforeach()

if(problems)
    list(JOIN problems "\n" text)
    message(FATAL_ERROR "Includes against the order of the core's layers:\n${text}")
endif()
file(TOUCH ${STAMP})
