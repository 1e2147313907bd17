#pragma once
// The command line as one text, the words it may hold, and the two hand-off commands
// a running instance accepts ("DDEOpen" + address, "OpenNew").
#include <QString>

// The whole argument text after the program name, as one string.
QString CommandLineText(int argc, char **argv);

// Every double quote removed, then every "%1".
QString CleanAddress(QString text);

struct StartCommand {
    enum Kind { Empty, Password, Config, Open } kind = Empty;
    QString address;  // for Open
};
// What the first instance does with its command line (a .zvb path is read here).
StartCommand ParseCommandLine(const QString &commandLine);

// What a second instance sends to the running one.
QString HandOffCommand(const QString &commandLine);

struct HandOff {
    enum Kind { Other, Open, OpenNew, Config } kind = Other;
    QString address;
};
// A later start's "config" arrives as an address; it asks for the settings, not a page.
HandOff ParseHandOff(const QString &command);
