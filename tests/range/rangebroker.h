#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

namespace zark::test {

// A Mosquitto of the test's own on a free loopback port, configured from the shipped club
// configuration: users lane1 to lane3 (lanes), coach and officer, password "zark", range "club".
// Started and stopped by the test; never a system service.
class RangeBroker final {
public:
    // extra: lines appended to the configuration (a bridge, anonymous access for a region broker).
    explicit RangeBroker(const QString& extra = {}, bool clubUsers = true);
    ~RangeBroker();

    // Starts (again, on the same port and data) and waits until it accepts connections.
    bool Start();
    // Stops gracefully (the broker writes its persistence and fires the last wills).
    void Stop();
    int Port() const { return port_; }
    QString Folder() const { return dir_.path(); }
    // The broker's own output so far.
    QString Output();
    // The process's CPU time (user + system) in seconds.
    double CpuSeconds() const;
    qint64 Pid() const { return process_.processId(); }

private:
    void WriteConfiguration();

    QTemporaryDir dir_;
    QString conf_;  // with @PORT@ for the port
    QProcess process_;
    int port_ = 0;
    QString output_;
};

// A free TCP port on 127.0.0.1.
int FreeLoopbackPort();
// The repository's top folder.
QString RepositoryDir();

}  // namespace zark::test
