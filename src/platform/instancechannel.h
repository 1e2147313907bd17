#pragma once
// One running instance per user, program folder and display. Whoever holds the lock file
// owns the local socket beside it; later starts hand their command to the owner and end.
#include <QLockFile>
#include <QObject>
#include <memory>

class QLocalServer;

// Makes the folder (0700) or accepts one that is there only when it is this user's own
// folder (not a link) that nobody else may write in; empty when it is fine, else why not.
QString PrivateFolderProblem(const QString &dir);

class InstanceChannel : public QObject {
    Q_OBJECT
  public:
    // dir: where the lock and the socket live (the user's runtime folder by default); name:
    // theirs (this program folder's on this display by default).
    explicit InstanceChannel(const QString &dir = defaultDir(), const QString &name = currentName(),
                             QObject *parent = nullptr);
    ~InstanceChannel() override;

    static QString defaultDir();
    // The browser of a program folder on a display. Another copy of the program, or a start
    // on another display, is a browser of its own: one elsewhere would show its pages where
    // the user may not see them.
    static QString nameFor(const QString &folder, const QString &display);
    // The display this start's windows go to; empty when there is none.
    static QString currentDisplay();
    static QString currentName();  // AppDir's on the current display
    QString socketPath() const;

    // True when this process is now the running instance. False when another one is, or
    // when the lock could not be made at all (lockError() says why).
    bool claim();
    QString lockError() const;
    // Starts serving; call after claim() succeeded.
    bool listen();
    // Delivers one command to the running instance; false when none answered in time.
    bool send(const QString &command, int timeoutMs = 3000);

  signals:
    void commandReceived(const QString &command);

  private:
    void onNewConnection();
    QString dir_, name_;
    QString folderError_;
    QLockFile lock_;
    std::unique_ptr<QLocalServer> server_;
};
