#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <map>
#include <vector>

#include "range/rangemessages.h"

namespace zark {

class RangeClient;

// The lanes by their total, best first: online lanes with a total, then the others; equal totals
// by lane name. A total is the text the lane publishes ("95", "98.4").
std::vector<QString> RankLanes(const std::map<QString, LaneState>& lanes);

// Where the club's archive keeps a series a lane sent: in the shooter's archive folder of the
// training log's folder (ArchiveFolderOf), named by the series' id, .ZAS (.ZAM for a match).
QString ArchivePathOf(const QString& folder, const QString& lane, const SeriesMessage& series);

// The range officer's side: sends orders to lanes on "command" (QoS 1), follows their answers on
// "ack", and keeps every finished series a lane sends in the club's archive (a folder the training
// log reads). The lanes' states come from a LaneWatcher on the same client.
class RangeOfficer final : public QObject {
    Q_OBJECT

public:
    // archive: the training log's folder; empty keeps nothing.
    RangeOfficer(RangeClient& client, const QString& range, const QString& archive);
    ~RangeOfficer() override;

    // The last order sent to a lane and its answer.
    struct Answer {
        CommandMessage order;
        bool answered = false;
        bool ok = false;
        QString reason;
    };
    // Sends the order to each lane (every one with an id of its own); false when the client
    // refused it at once for a lane.
    bool Send(const CommandMessage& order, const QStringList& lanes);
    const std::map<QString, Answer>& Answers() const { return answers_; }
    // Series written to the archive, and series that could not be.
    int Archived() const { return archived_; }
    int ArchiveFailures() const { return archiveFailures_; }

signals:
    void Answered(const QString& lane);
    void SeriesArchived(const QString& path);

private:
    void OnMessage(const QString& topic, const QByteArray& payload);
    void Keep(const QString& lane, const SeriesMessage& series);

    RangeClient& client_;
    QString range_;
    QString archive_;
    std::map<QString, Answer> answers_;
    int archived_ = 0;
    int archiveFailures_ = 0;
    int sent_ = 0;
};

}  // namespace zark
