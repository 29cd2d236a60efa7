#include "range/rangeofficer.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

#include "diag/diagnostics.h"
#include "progress/progressfigures.h"
#include "range/rangeclient.h"
#include "storage/checkedfile.h"

namespace zark {
namespace {

double TotalValue(const LaneState& lane) {
    bool ok = false;
    const double total = lane.total.toDouble(&ok);
    return ok ? total : -1;
}

}  // namespace

std::vector<QString> RankLanes(const std::map<QString, LaneState>& lanes) {
    std::vector<QString> order;
    for (const auto& [name, lane] : lanes) order.push_back(name);
    const auto ranked = [&](const QString& name) {
        const LaneState& lane = lanes.at(name);
        return lane.online && TotalValue(lane) >= 0;
    };
    std::stable_sort(order.begin(), order.end(), [&](const QString& a, const QString& b) {
        const bool ra = ranked(a), rb = ranked(b);
        if (ra != rb) return ra;
        if (ra && TotalValue(lanes.at(a)) != TotalValue(lanes.at(b)))
            return TotalValue(lanes.at(a)) > TotalValue(lanes.at(b));
        return a < b;
    });
    return order;
}

QString ArchivePathOf(const QString& folder, const QString& lane, const SeriesMessage& series) {
    return QDir(folder).filePath(QStringLiteral("%1/%2.%3")
                                     .arg(ArchiveFolderOf(lane, series.shooter), series.series,
                                          series.match ? QStringLiteral("ZAM") : QStringLiteral("ZAS")));
}

RangeOfficer::RangeOfficer(RangeClient& client, const QString& range, const QString& archive)
    : client_(client), range_(range), archive_(archive) {
    connect(&client_, &RangeClient::MessageReceived, this, &RangeOfficer::OnMessage);
    client_.Subscribe(QStringLiteral("zark/v1/%1/+/ack").arg(range_), 1);
    if (!archive_.isEmpty()) client_.Subscribe(QStringLiteral("zark/v1/%1/+/series").arg(range_), 1);
}

RangeOfficer::~RangeOfficer() {
    client_.Unsubscribe(QStringLiteral("zark/v1/%1/+/ack").arg(range_));
    // the series stay subscribed: the broker queues those finished while this program is away on
    // its persistent session, and the archive gets them at the next start
}

bool RangeOfficer::Send(const CommandMessage& order, const QStringList& lanes) {
    bool all = true;
    for (const QString& lane : lanes) {
        if (!ValidRangeName(lane)) continue;
        CommandMessage one = order;
        one.id = QStringLiteral("o%1-%2")
                     .arg(QDateTime::currentMSecsSinceEpoch(), 0, 36)
                     .arg(++sent_);
        answers_[lane] = Answer{};
        answers_[lane].order = one;
        const bool queued = client_.Publish(LaneTopicName(range_, lane, LaneTopic::Command), EncodeCommand(one), 1, false);
        if (!queued) {
            answers_[lane].answered = true;
            answers_[lane].reason = client_.Error().isEmpty() ? QStringLiteral("not sent") : client_.Error();
            all = false;
        }
        emit Answered(lane);
    }
    return all;
}

void RangeOfficer::OnMessage(const QString& topic, const QByteArray& payload) {
    QString lane;
    LaneTopic kind = LaneTopic::Other;
    if (!ParseLaneTopic(topic, range_, lane, kind)) return;
    QString why;
    if (kind == LaneTopic::Ack) {
        AckMessage ack;
        const auto it = answers_.find(lane);
        if (!DecodeAck(payload, ack, &why)) {
            LogLine("range: an answer of lane %s was dropped: %s\n", qPrintable(lane), qPrintable(why));
            return;
        }
        // an answer to an older order (or another officer's) changes nothing shown
        if (it == answers_.end() || it->second.order.id != ack.id) return;
        it->second.answered = true;
        it->second.ok = ack.ok;
        it->second.reason = ack.reason;
        emit Answered(lane);
    } else if (kind == LaneTopic::Series && !archive_.isEmpty()) {
        SeriesMessage series;
        if (!DecodeSeries(payload, series, &why)) {
            LogLine("range: a series of lane %s was dropped: %s\n", qPrintable(lane), qPrintable(why));
            return;
        }
        Keep(lane, series);
    }
}

void RangeOfficer::Keep(const QString& lane, const SeriesMessage& series) {
    // the retained message comes again on every connect: a series kept once is not written again
    const QString path = ArchivePathOf(archive_, lane, series);
    if (QFileInfo::exists(path)) return;
    QString error;
    if (!QDir().mkpath(QFileInfo(path).absolutePath()) ||
        !WriteWholeFile(path, std::string_view(series.file.constData(), std::size_t(series.file.size())), &error)) {
        ++archiveFailures_;
        LogLine("range: the series %s of lane %s could not be kept in %s: %s\n", qPrintable(series.series),
                qPrintable(lane), qPrintable(path), qPrintable(error));
        return;
    }
    ++archived_;
    LogLine("range: the series %s of lane %s was kept in %s\n", qPrintable(series.series), qPrintable(lane),
            qPrintable(path));
    emit SeriesArchived(path);
}

}  // namespace zark
