#pragma once
// What a skin file says before any of its pictures is loaded: its colours, the names of its
// pictures and of their folder, and "Aero".
#include <QByteArray>
#include <QString>
#include <optional>

struct SkinText {
    qint32 clrBar = 0, clrBG = 0, clrLogo = 0;
    QString folder;              // [Folder] fld, inside the skin folder
    QString buttons[5];          // [Pics] tb1..tb5
    QString bgTop, bgBottom;     // [Pics] bg_t, bg_b; empty: none
    std::optional<double> aero;  // [Color] Aero; none when it is no number
    // [Color] clrPrivate, a private tab's colour; none when missing or no number (optional:
    // older skins have none)
    std::optional<qint32> clrPrivate;
};

// A stored colour text (decimal, or &H hexadecimal), 32-bit 0x00BBGGRR; none when it is no
// number or does not fit 32 bits.
std::optional<qint32> BgrFromText(const QString &text);
// None when a colour is no number or a toolbar picture is not named.
std::optional<SkinText> ParseSkin(const QByteArray &file);
