#include "logging.h"

#include <QLoggingCategory>

namespace {

QtMessageHandler previous = nullptr;

void handler(QtMsgType type, const QMessageLogContext &context, const QString &message) {
    if (type != QtFatalMsg && type != QtCriticalMsg &&
        IsRoutineEngineMessage(QString::fromLatin1(context.category ? context.category : ""),
                               message))
        return;
    previous(type, context, message);
}

}  // namespace

bool IsRoutineEngineMessage(const QString &category, const QString &message) {
    if (category.startsWith(QLatin1String("qt.webenginecontext"))) return true;
    static const char *const routine[] = {
        "QStandardPaths: XDG_RUNTIME_DIR not set",
        "QXcbIntegration: Cannot create platform OpenGL context",
        "Sandboxing disabled by user",
        "No suitable graphics backend found",
    };
    for (const char *text : routine)
        if (message.startsWith(QLatin1String(text))) return true;
    return false;
}

void QuietenEngineLogging() {
    if (!qEnvironmentVariableIsEmpty("QT_LOGGING_RULES")) return;
    previous = qInstallMessageHandler(handler);
}
