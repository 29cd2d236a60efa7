#include "range/rangebroker.h"

#include <QElapsedTimer>
#include <QFile>
#include <QStandardPaths>
#include <QTextStream>
#include <QThread>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <pwd.h>
#include <sys/socket.h>
#include <unistd.h>

#include "support/testsupport.h"

namespace zark::test {
namespace {

bool Accepts(int port) {
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(std::uint16_t(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool ok = ::connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    ::close(s);
    return ok;
}

QString Program(const char* name) {
    QString path = QStandardPaths::findExecutable(name);
    if (path.isEmpty()) path = QStandardPaths::findExecutable(name, {"/usr/sbin", "/usr/bin"});
    return path;
}

// The broker runs as the test's user: started as root it would otherwise become the user
// mosquitto, who cannot read the test's folder.
QString UserName() {
    const passwd* user = getpwuid(getuid());
    return user ? QString::fromLocal8Bit(user->pw_name) : QStringLiteral("root");
}

}  // namespace

int FreeLoopbackPort() {
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
    socklen_t length = sizeof a;
    ::getsockname(s, reinterpret_cast<sockaddr*>(&a), &length);
    ::close(s);
    return ntohs(a.sin_port);
}

QString RepositoryDir() { return QString::fromStdString(SourceDir()) + "/.."; }

RangeBroker::RangeBroker(const QString& extra, bool clubUsers) {
    port_ = FreeLoopbackPort();
    const QString folder = dir_.path();
    QString conf;
    if (clubUsers) {
        QProcess users;
        users.start("bash", {RepositoryDir() + "/range/make-users.sh", folder, "club"});
        users.write("lane lane1 zark\nlane lane2 zark\nlane lane3 zark\ncoach coach zark\nofficer officer zark\n");
        users.closeWriteChannel();
        users.waitForFinished(20000);
        QFile shipped(RepositoryDir() + "/range/mosquitto.conf");
        shipped.open(QIODevice::ReadOnly);
        // the shipped configuration with the test's folder, port and no user switch
        conf = QString::fromUtf8(shipped.readAll())
                   .replace("/etc/mosquitto/zark", folder)
                   .replace("/var/lib/mosquitto/", folder + "/")
                   .replace("\nuser mosquitto", "\nuser " + UserName())
                   .replace("\nlistener 1883\n", QStringLiteral("\nlistener @PORT@ 127.0.0.1\n"));
    } else {
        conf = QStringLiteral("user %1\nlistener @PORT@ 127.0.0.1\nallow_anonymous true\npersistence false\n")
                   .arg(UserName());
    }
    conf_ = conf + "\nlog_type all\n" + extra + '\n';
    process_.setProcessChannelMode(QProcess::MergedChannels);
}

void RangeBroker::WriteConfiguration() {
    QFile file(dir_.path() + "/mosquitto.conf");
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(QString(conf_).replace("@PORT@", QString::number(port_)).toUtf8());
}

RangeBroker::~RangeBroker() { Stop(); }

bool RangeBroker::Start() {
    if (process_.state() != QProcess::NotRunning) return true;
    // Another test's broker may take the free port between its choice and the bind: this broker
    // then ends at once (and a connection would reach the other one), so it tries another port.
    for (int attempt = 0; attempt < 5; ++attempt) {
        WriteConfiguration();
        process_.start(Program("mosquitto"), {"-c", dir_.path() + "/mosquitto.conf"});
        if (!process_.waitForStarted(5000)) return false;
        QElapsedTimer waited;
        waited.start();
        const qsizetype from = output_.size();
        bool listening = false;
        while (waited.elapsed() < 10000 && process_.state() != QProcess::NotRunning) {
            process_.waitForReadyRead(20);
            output_ += QString::fromUtf8(process_.readAll());
            listening = listening || output_.indexOf(QStringLiteral("listen socket on port %1.").arg(port_), from) >= 0;
            if (listening && Accepts(port_)) return true;
        }
        output_ += QString::fromUtf8(process_.readAll());
        if (process_.state() != QProcess::NotRunning) return false;
        port_ = FreeLoopbackPort();
    }
    return false;
}

void RangeBroker::Stop() {
    if (process_.state() == QProcess::NotRunning) return;
    output_ += QString::fromUtf8(process_.readAll());
    process_.terminate();
    if (!process_.waitForFinished(10000)) {
        process_.kill();
        process_.waitForFinished(5000);
    }
    output_ += QString::fromUtf8(process_.readAll());
}

QString RangeBroker::Output() {
    output_ += QString::fromUtf8(process_.readAll());
    return output_;
}

double RangeBroker::CpuSeconds() const {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(process_.processId()));
    if (!stat.open(QIODevice::ReadOnly)) return 0;
    const QString text = QString::fromUtf8(stat.readAll());
    const QStringList fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 13) return 0;
    return (fields[11].toDouble() + fields[12].toDouble()) / double(sysconf(_SC_CLK_TCK));
}

}  // namespace zark::test
