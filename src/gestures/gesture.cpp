#include "gesture.h"

#include <cstdlib>

#include "core/settings.h"

namespace gesture {

QString DirectionName(int code) {
    switch (code) {
        case Right:
            return QStringLiteral("右");
        case Up:
            return QStringLiteral("上");
        case Left:
            return QStringLiteral("左");
        case Down:
            return QStringLiteral("下");
        default:
            return QStringLiteral("无");
    }
}

void Recogniser::start(QPoint at) {
    origin_ = at;
    last_ = None;
    text_.clear();
}

int Recogniser::sample(QPoint at) {
    const qint64 dx = at.x() - origin_.x();
    const qint64 up = origin_.y() - at.y();  // screen y grows downwards
    if (dx * dx + up * up <= 25) return None;
    int d;
    if (dx > 0 && std::llabs(up) <= dx)
        d = Right;
    else if (up > 0 && std::llabs(dx) <= up)
        d = Up;
    else if (dx < 0 && std::llabs(up) <= -dx)
        d = Left;
    else
        d = Down;
    origin_ = at;
    if (d != last_) {
        text_ += DirectionName(d);
        last_ = d;
    }
    return d;
}

Fixed FixedCommand(const QString &gesture) {
    static const QList<QPair<QString, Fixed>> table{
        {QStringLiteral("左"), Fixed::Back},       {QStringLiteral("右"), Fixed::Forward},
        {QStringLiteral("下左"), Fixed::CloseTab}, {QStringLiteral("下右"), Fixed::NewTab},
        {QStringLiteral("下"), Fixed::Home},       {QStringLiteral("上"), Fixed::Search}};
    for (const auto &[text, command] : table)
        if (gesture == text) return command;
    return Fixed::None;
}

int LoopCount(const QString &gesture) {
    static const QStringList loops{QStringLiteral("下右上左"), QStringLiteral("下左上右"),
                                   QStringLiteral("左下右上"), QStringLiteral("右下左上"),
                                   QStringLiteral("上右下左"), QStringLiteral("上左下右")};
    int n = 0;
    for (const QString &loop : loops)
        if (gesture.contains(loop)) ++n;
    return n;
}

QStringList UserCommands(const QString &gesture) {
    QStringList out;
    for (const auto &entry : settings::UserGestures())
        if (entry.gesture == gesture) out << entry.command;
    return out;
}

}  // namespace gesture
