#pragma once
// The benchmarks run the program's windows on Qt's offscreen platform, which
// warns "This plugin does not support propagateSizeHints()" for every window
// of a fixed size. That says nothing about the program and would bury the
// figures, so only that warning is dropped.

#include <QLatin1String>
#include <QString>
#include <QtGlobal>

namespace kw::bench {

inline void QuietOffscreenPlatform()
{
    static QtMessageHandler next = nullptr;
    next = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext& context, const QString& message) {
        if (message.contains(QLatin1String("does not support propagateSizeHints()")))
            return;
        next(type, context, message);
    });
}

} // namespace kw::bench
