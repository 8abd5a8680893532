# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the build into a scratch prefix and checks that every file a user needs is where
# the desktop and the shell look for it.
# cmake -DBUILD_DIR=... -DPREFIX=... -DWITH_DESKTOP_PROGRAM=0|1 -DICON_SIZES="16;22;..." -P
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "cmake --install failed: ${result}")
endif()

set(expected bin/duvanto-cli share/man/man1/duvanto-cli.1.gz share/doc/duvanto/copyright
    share/doc/duvanto/changelog.gz lib/systemd/user/duvanto-due.service
    lib/systemd/user/duvanto-due.timer lib/systemd/user/duvanto-watch.service)
set(unexpected)
set(desktop_files bin/duvanto share/man/man1/duvanto.1.gz share/applications/duvanto.desktop
    share/metainfo/org.duvanto.duvanto.metainfo.xml
    share/icons/hicolor/scalable/apps/duvanto.svg)
foreach(size IN LISTS ICON_SIZES)
    list(APPEND desktop_files share/icons/hicolor/${size}x${size}/apps/duvanto.png)
endforeach()
if(WITH_DESKTOP_PROGRAM)
    list(APPEND expected ${desktop_files})
else()
    # Without the desktop program, no menu entry may point at a program that is not there.
    list(APPEND unexpected ${desktop_files})
endif()

foreach(path IN LISTS expected)
    if(NOT EXISTS ${PREFIX}/${path})
        message(FATAL_ERROR "not installed: ${path}")
    endif()
endforeach()
foreach(path IN LISTS unexpected)
    if(EXISTS ${PREFIX}/${path})
        message(FATAL_ERROR "installed without the desktop program: ${path}")
    endif()
endforeach()
execute_process(COMMAND ${PREFIX}/bin/duvanto-cli --help RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "the installed duvanto-cli does not run: ${result}")
endif()
# A theme folder promises its size: the PNG header's width and height must match it.
if(WITH_DESKTOP_PROGRAM)
    foreach(size IN LISTS ICON_SIZES)
        file(READ ${PREFIX}/share/icons/hicolor/${size}x${size}/apps/duvanto.png header
             OFFSET 16 LIMIT 8 HEX)
        string(SUBSTRING ${header} 0 8 width_hex)
        string(SUBSTRING ${header} 8 8 height_hex)
        math(EXPR width "0x${width_hex}")
        math(EXPR height "0x${height_hex}")
        if(NOT width EQUAL size OR NOT height EQUAL size)
            message(FATAL_ERROR "${size}x${size}/apps/duvanto.png is ${width}x${height}")
        endif()
    endforeach()
endif()
file(REMOVE_RECURSE ${PREFIX})
