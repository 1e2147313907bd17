#include "nginx.h"

#include <unistd.h>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

Nginx::Nginx() {
    QDir(dir_.path()).mkpath("root");
    QDir(dir_.path()).mkpath("tmp");
    {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        port_ = probe.serverPort();
    }
    const QString d = dir_.path();
    QFile conf(dir_.filePath("nginx.conf"));
    conf.open(QIODevice::WriteOnly);
    conf.write(QString(R"(%1daemon off;
master_process off;
worker_processes 1;
pid %2/nginx.pid;
error_log %2/error.log;
events { worker_connections 64; }
http {
    access_log off;
    client_body_temp_path %2/tmp;
    proxy_temp_path %2/tmp;
    fastcgi_temp_path %2/tmp;
    uwsgi_temp_path %2/tmp;
    scgi_temp_path %2/tmp;
    default_type application/octet-stream;
    sendfile on;
    server {
        listen 127.0.0.1:%3;
        root %2/root;
    }
}
)")
                   .arg(geteuid() == 0 ? "user root;\n" : "", d)
                   .arg(port_)
                   .toUtf8());
    conf.close();
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_.start("nginx", {"-c", conf.fileName(), "-p", d, "-e", d + "/error.log"});
    if (!process_.waitForStarted(5000)) return;
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 5000) {
        QTcpSocket s;
        s.connectToHost(QHostAddress::LocalHost, port_);
        if (s.waitForConnected(200)) {
            started_ = true;
            return;
        }
        QThread::msleep(50);
    }
}

Nginx::~Nginx() {
    process_.terminate();
    if (!process_.waitForFinished(3000)) process_.kill();
    process_.waitForFinished(3000);
}

QString Nginx::url(const QString &name) const {
    return QString("http://127.0.0.1:%1/%2").arg(port_).arg(name);
}
