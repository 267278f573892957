// Reading measured responses and house curves as measurement programs export them.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "MeasurementReader.h"

using namespace qx;

namespace {

MeasurementResult Read(const std::string& text) {
    return CMeasurementReader::Read(text);
}

}  // namespace

TEST(MeasurementReaderTest, EveryDelimiterGivesTheSamePoints) {
    for (const char* text :
         {"20,80.5\n40,81\n80,79.25\n", "20\t80.5\n40\t81\n80\t79.25\n",
          "20 80.5\n40   81\n80 79.25\n", "20;80.5\n40;81\n80;79.25\n",
          "20, 80.5, -12.0\n40, 81, 3\n80, 79.25, 170\n", "20;80,5;-12\n40;81;3\n80;79,25;170\n"}) {
        const MeasurementResult r = Read(text);
        ASSERT_TRUE(r.Ok()) << text << r.error.reason;
        ASSERT_EQ(r.data.Size(), 3u) << text;
        EXPECT_DOUBLE_EQ(r.data.hz[2], 80.0) << text;
        EXPECT_DOUBLE_EQ(r.data.db[0], 80.5) << text;
        EXPECT_DOUBLE_EQ(r.data.db[2], 79.25) << text;
    }
}

TEST(MeasurementReaderTest, CommentsBomAndWindowsLineEndsAreTaken) {
    const std::string text =
        "\xEF\xBB\xBF* Measurement data measured by a sweep\r\n"
        "* Source: Main L, 1/48 octave\r\n"
        "Freq(Hz) SPL(dB) Phase(degrees)\r\n"
        "\r\n"
        "20.0 75.1 12.0\r\n"
        "# a note in the middle\r\n"
        "21.0 75.4 13.0\r\n"
        "  22.0\t75.0\t14.0  \r\n";
    const MeasurementResult r = Read(text);
    ASSERT_TRUE(r.Ok()) << r.error.reason;
    ASSERT_EQ(r.data.Size(), 3u);
    EXPECT_DOUBLE_EQ(r.data.hz[0], 20.0);
    EXPECT_DOUBLE_EQ(r.data.db[2], 75.0);
}

TEST(MeasurementReaderTest, BadLinesAreRefusedWithTheirNumberAndReason) {
    struct Case {
        const char* text;
        int line;
        const char* reason;
    };
    const Case cases[] = {
        {"20 80\n40 81\n30 82\n", 3, "does not rise"},
        {"20 80\n20 81\n", 2, "does not rise"},
        {"20 80\n40 nan\n", 2, "finite"},
        {"20 80\n40 inf\n", 2, "finite"},
        {"20 80\n40\n", 2, "without a level"},
        {"20 80\n40 eighty\n", 2, "not a number"},
        {"20 80\n4x0 80\n", 2, "not a number"},
        {"0 80\n40 80\n", 1, "not above 0"},
        {"20 80\n40 81\nend of data\n", 3, "text where a point"},
        {"* nothing\n", 0, "no points"},
        {"", 0, "no points"},
        {"* one\n100 3\n", 0, "only one point"},
    };
    for (const Case& c : cases) {
        const MeasurementResult r = Read(c.text);
        EXPECT_FALSE(r.Ok()) << c.text;
        EXPECT_EQ(r.error.line, c.line) << c.text;
        EXPECT_NE(r.error.reason.find(c.reason), std::string::npos)
            << c.text << " -> " << r.error.reason;
        EXPECT_TRUE(r.data.Empty()) << "a refused text leaves no half measurement";
    }
}

TEST(MeasurementReaderTest, AMillionLinesLoadWithProgressAndCanBeCancelled) {
    std::string text;
    text.reserve(20u << 20);
    char line[64];
    for (int i = 0; i < 1'000'000; ++i) {
        std::snprintf(line, sizeof line, "%.4f,%.2f\n", 10.0 + i * 0.02, (i % 7) * 0.5);
        text += line;
    }
    int reports = 0;
    double last = 0.0;
    bool rising = true;
    const MeasurementResult r = CMeasurementReader::Read(text, [&](double done) {
        rising = rising && done >= last;
        last = done;
        ++reports;
        return true;
    });
    ASSERT_TRUE(r.Ok()) << r.error.reason;
    EXPECT_EQ(r.data.Size(), 1'000'000u);
    EXPECT_GT(reports, 100);
    EXPECT_TRUE(rising);
    EXPECT_DOUBLE_EQ(last, 1.0);

    int calls = 0;
    const MeasurementResult stopped =
        CMeasurementReader::Read(text, [&](double) { return ++calls < 3; });
    EXPECT_TRUE(stopped.cancelled);
    EXPECT_FALSE(stopped.Ok());
    EXPECT_TRUE(stopped.data.Empty());
}

TEST(MeasurementReaderTest, TextsBeyondTheLimitsAreRefusedWithTheLimitNamed) {
    std::string many;
    for (std::size_t i = 0; i <= CMeasurementReader::kMaxPoints; ++i) {
        many += std::to_string(i + 1) + " 0\n";
    }
    const MeasurementResult r = Read(many);
    EXPECT_FALSE(r.Ok());
    EXPECT_EQ(r.error.line, static_cast<int>(CMeasurementReader::kMaxPoints) + 1);
    EXPECT_NE(r.error.reason.find("2000000"), std::string::npos) << r.error.reason;

    const std::string huge(CMeasurementReader::kMaxBytes + 1, '*');
    const MeasurementResult big = Read(huge);
    EXPECT_FALSE(big.Ok());
    EXPECT_NE(big.error.reason.find("MB"), std::string::npos) << big.error.reason;
}

TEST(MeasurementReaderTest, FilesAreReadWholeAndMissingOnesSaySo) {
    const std::string path = ::testing::TempDir() + "measurement-read.txt";
    {
        std::FILE* f = std::fopen(path.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fputs("* Freq SPL\n20 70\n40 71\n80 69\n", f);
        std::fclose(f);
    }
    const MeasurementResult r = CMeasurementReader::ReadFile(path);
    ASSERT_TRUE(r.Ok()) << r.error.reason;
    EXPECT_EQ(r.data.Size(), 3u);
    std::remove(path.c_str());
    const MeasurementResult missing = CMeasurementReader::ReadFile(path);
    EXPECT_FALSE(missing.Ok());
    EXPECT_NE(missing.error.reason.find(path), std::string::npos) << missing.error.reason;
}
