#include <gtest/gtest.h>

#include <deque>
#include <vector>

#include "link/detectordecoder.h"
#include "link/setupblock.h"

namespace zark {
namespace {

struct Posted {
    int message;
    std::uint32_t wParam;
    int lParam;
    bool operator==(const Posted&) const = default;
};

class RecordingSink final : public LinkMessageSink {
public:
    void PostLinkSample(std::uint32_t wParam, int isShot) override { posted.push_back({WM_LINK_SAMPLE, wParam, isShot}); }
    void PostLinkLine(int side) override { posted.push_back({WM_LINK_LINE, std::uint32_t(side), 0}); }
    std::vector<Posted> posted;
};

class QueueSource final : public ByteSource {
public:
    explicit QueueSource(std::vector<std::uint8_t> bytes) : bytes_(bytes.begin(), bytes.end()) {}
    bool ReadByte(std::uint8_t& byte) override {
        ++reads;
        if (bytes_.empty()) return false;
        byte = bytes_.front();
        bytes_.pop_front();
        return true;
    }
    int reads = 0;

private:
    std::deque<std::uint8_t> bytes_;
};

class Decoder : public ::testing::Test {
protected:
    void SetUp() override { decoder.Configure(&sink, 40); }
    void Feed(std::vector<std::uint8_t> bytes) { decoder.Feed(bytes.data(), bytes.size()); }
    RecordingSink sink;
    DetectorDecoder decoder;
};

TEST_F(Decoder, WorkedSampleThenShot) {
    EXPECT_EQ(decoder.prevX(), -1);
    EXPECT_EQ(decoder.prevY(), -1);
    Feed({0x05, 0x13, 0x2F, 0x48, 0x51, 0x60});
    EXPECT_EQ(decoder.x(), -203);
    EXPECT_EQ(decoder.y(), 24);
    ASSERT_EQ(sink.posted.size(), 1u);
    EXPECT_EQ(sink.posted[0], (Posted{WM_LINK_SAMPLE, (24u << 16) | 0xFF35u, 0}));
    EXPECT_EQ(LinkSampleX(sink.posted[0].wParam), -203);
    EXPECT_EQ(LinkSampleY(sink.posted[0].wParam), 24);
    EXPECT_EQ(decoder.prevX(), -203);
    EXPECT_EQ(decoder.prevY(), 24);

    Feed({0x00, 0x12, 0x20, 0x40, 0x50});
    EXPECT_EQ(decoder.x(), 32);
    EXPECT_EQ(decoder.y(), 0);
    EXPECT_EQ(sink.posted.size(), 1u);
    Feed({0x34});
    EXPECT_EQ(decoder.weight(), 4);
    Feed({0x72});
    EXPECT_EQ(decoder.weight(), 230);
    EXPECT_EQ(decoder.x(), -22);
    EXPECT_EQ(decoder.y(), 5);
    ASSERT_EQ(sink.posted.size(), 2u);
    EXPECT_EQ(sink.posted[1].lParam, 1);
    EXPECT_EQ(LinkSampleX(sink.posted[1].wParam), -22);
    EXPECT_EQ(LinkSampleY(sink.posted[1].wParam), 5);
    EXPECT_EQ(decoder.prevX(), -203);
    EXPECT_EQ(decoder.prevY(), 24);
}

TEST_F(Decoder, CommandsWithoutMeaningAndRepeatedNibbles) {
    for (int b = 0x80; b <= 0xFF; ++b) Feed({std::uint8_t(b)});
    EXPECT_TRUE(sink.posted.empty());
    EXPECT_EQ(decoder.x(), 0);
    EXPECT_EQ(decoder.y(), 0);
    EXPECT_EQ(decoder.weight(), 0);
    // two middle nibbles in a row both add
    Feed({0x01, 0x12, 0x13});
    EXPECT_EQ(decoder.x(), 1 + 32 + 48);
    // the high nibble is signed
    Feed({0x00, 0x27});
    EXPECT_EQ(decoder.x(), 7 * 256);
    Feed({0x00, 0x28});
    EXPECT_EQ(decoder.x(), -8 * 256);
    Feed({0x4F, 0x5F, 0x67});
    EXPECT_EQ(decoder.y(), 2047);
}

TEST_F(Decoder, ShotRightAfterASampleIsThatSampleWhateverTheWeight) {
    Feed({0x03, 0x1A, 0x2F, 0x49, 0x52, 0x60});
    const Posted sample = sink.posted.back();
    for (std::uint8_t weightByte : {0x30, 0x3F, 0x35}) {
        for (std::uint8_t shotByte : {0x70, 0x7F}) {
            Feed({0x03, 0x1A, 0x2F, 0x49, 0x52, 0x60, weightByte, shotByte});
            EXPECT_EQ(sink.posted.back().wParam, sample.wParam);
            EXPECT_EQ(sink.posted.back().lParam, 1);
        }
    }
}

TEST_F(Decoder, ShotWithoutNewWeightUsesThePreviousComputedWeight) {
    Feed({0x00, 0x10, 0x21, 0x40, 0x50, 0x61});  // (256, 256)
    Feed({0x00, 0x40, 0x31, 0x70});              // w = 1 * 256 / 40 = 6
    EXPECT_EQ(decoder.weight(), 6);
    Feed({0x00, 0x40, 0x70});  // w = 6 * 256 / 40 = 38
    EXPECT_EQ(decoder.weight(), 38);
    EXPECT_EQ(decoder.x(), 38 * 256 / 1000);
    // long runs of shots without weight bytes grow the weight without any overflow trap
    for (int i = 0; i < 40; ++i) Feed({0x7F});
    EXPECT_EQ(sink.posted.size(), 43u);
}

TEST_F(Decoder, LineEventsAreReportedOncePerChangeOfLine) {
    QueueSource none({});
    decoder.ProcessEvent(EV_CTS | EV_DSR, none);
    EXPECT_EQ(sink.posted, (std::vector<Posted>{{WM_LINK_LINE, 0, 0}, {WM_LINK_LINE, 1, 0}}));
    EXPECT_EQ(decoder.lastLine(), 16);
    EXPECT_EQ(none.reads, 0);  // no receive bit: no read
    decoder.ProcessEvent(EV_DSR, none);
    decoder.ProcessEvent(EV_DSR, none);
    EXPECT_EQ(sink.posted.size(), 2u);
    decoder.ProcessEvent(EV_CTS, none);
    decoder.ProcessEvent(EV_CTS, none);
    EXPECT_EQ(sink.posted.size(), 3u);
    EXPECT_EQ(sink.posted.back(), (Posted{WM_LINK_LINE, 0, 0}));
    // a new configuration reports the same line again, and keeps the accumulators
    Feed({0x05, 0x13, 0x2F, 0x48, 0x51, 0x60});
    decoder.Configure(&sink, 40);
    EXPECT_EQ(decoder.lastLine(), 0);
    EXPECT_EQ(decoder.prevX(), -203);
    decoder.ProcessEvent(EV_CTS, none);
    EXPECT_EQ(sink.posted.back(), (Posted{WM_LINK_LINE, 0, 0}));
}

TEST_F(Decoder, ReceivedBytesAreReadUntilNoneIsLeft) {
    QueueSource port({0x05, 0x13, 0x2F, 0x48, 0x51, 0x60, 0x34, 0x72});
    decoder.ProcessEvent(EV_RXCHAR | EV_CTS, port);
    ASSERT_EQ(sink.posted.size(), 3u);
    EXPECT_EQ(sink.posted[0].message, WM_LINK_LINE);
    EXPECT_EQ(sink.posted[1].lParam, 0);
    EXPECT_EQ(sink.posted[2].lParam, 1);
    EXPECT_EQ(port.reads, 9);
}

TEST_F(Decoder, TimeStepZeroIsNeverUsed) {
    decoder.Configure(&sink, 0);
    EXPECT_EQ(decoder.timeStep(), 40);
    Feed({0x3F, 0x7F});  // would divide by zero
    EXPECT_EQ(decoder.weight(), 255 * 256 / 40);
}

TEST(SetupBlock, WorkedBlockAndNegativeOffsets) {
    EXPECT_EQ(BuildSetupBlock(5184, 0, 0, SetupSteps(1600, 40)),
              (UnitSetupBlock{0x00, 0x10, 0x24, 0x34, 0x41, 0x50, 0x60, 0x70, 0x80, 0x90, 0xA0, 0xB0, 0xC0, 0xD8,
                              0xE2, 0x0D}));
    const UnitSetupBlock block = BuildSetupBlock(5184, -5, -5, 40);
    EXPECT_EQ(std::vector<std::uint8_t>(block.begin() + 5, block.begin() + 9),
              (std::vector<std::uint8_t>{0x5B, 0x6F, 0x7F, 0x8F}));
    EXPECT_EQ(std::vector<std::uint8_t>(block.begin() + 9, block.begin() + 13),
              (std::vector<std::uint8_t>{0x9B, 0xAF, 0xBF, 0xCF}));
    // every data byte carries its position in the high nibble
    const UnitSetupBlock any = BuildSetupBlock(0xFFFFFFFF, -1, 32767, 0x7FFFFFFF);
    for (int i = 1; i <= 14; ++i) EXPECT_EQ(any[i] >> 4, i);
}

TEST(SetupBlock, ScaleFollowsTheShootingDistance) {
    EXPECT_EQ(SetupScale(5184, 33), 5184u);
    EXPECT_EQ(SetupScale(5184, 30), 5184u * 30 / 33);
    EXPECT_EQ(SetupScale(5184, 40), 6283u);
    EXPECT_EQ(SetupSteps(1600, 40), 40);
    EXPECT_EQ(SetupSteps(3200, 0), 80);
}

}  // namespace
}  // namespace zark
