// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/mainwindow/QtDesktopApplication.h"

#include <QAction>
#include <QEvent>
#include <QWidget>
#include <cstdio>
#include <exception>

#include "app/mainwindow/ErrorBoundary.h"
#include "app/runs/QtRunBridge.h"

namespace duvanto {

namespace {

const char* EventName(QEvent::Type type) {
    switch (type) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::Shortcut:
            return "Click";
        case QEvent::MouseButtonDblClick:
            return "DblClick";
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
            return "KeyPress";
        case QEvent::Timer:
            return "Timer";
        case QEvent::Close:
            return "QueryUnload";
        case QEvent::Show:
            return "Load";
        default:
            return "Event";
    }
}

QString NameOf(const QObject* object) {
    return object->objectName().isEmpty() ? QString::fromLatin1(object->metaObject()->className())
                                          : object->objectName();
}

// The widget an object belongs to: itself, else its nearest widget parent.
const QWidget* WidgetOf(const QObject* object) {
    for (const QObject* at = object; at != nullptr; at = at->parent()) {
        if (at->isWidgetType()) {
            return static_cast<const QWidget*>(at);
        }
    }
    return nullptr;
}

}  // namespace

DesktopApplication::DesktopApplication(int& argc, char** argv) : QApplication(argc, argv) {}

std::string DesktopApplication::EventLabel(const QObject* receiver, const QEvent* event) {
    const char* what = EventName(event->type());
    const QWidget* widget = WidgetOf(receiver);
    if (widget == nullptr) {
        return (NameOf(receiver) + QLatin1Char('_') + QLatin1String(what)).toStdString();
    }
    const QWidget* window = widget->window();
    const QString control = receiver == window ? QStringLiteral("Form") : NameOf(receiver);
    return (NameOf(window) + QLatin1Char('.') + control + QLatin1Char('_') + QLatin1String(what))
        .toStdString();
}

bool DesktopApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        // Only the GUI thread may show the box; the work on a bridge's worker catches its own.
        if (!QtRunBridge::OnGuiThread()) {
            throw;
        }
        const std::string label = EventLabel(receiver, event);
        if (m_reporter != nullptr) {
            m_reporter->ReportCurrentException(label,
                                               FailureDetails(label, std::current_exception()));
        } else {
            std::fprintf(stderr, "duvanto: unexpected error in %s\n%s\n", label.c_str(),
                         FailureDetails(label, std::current_exception()).c_str());
        }
        return true;
    }
}

}  // namespace duvanto
