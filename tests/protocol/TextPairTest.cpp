#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "TextPair.h"

using namespace qx;

TEST(TextPairTest, ChineseOnlyForThePrcLocale) {
    for (const char* name :
         {"zh_CN", "zh_CN.UTF-8", "zh_CN.GBK", "zh-CN", "ZH_cn", "zh_Hans_CN", "zh_CN@stroke"}) {
        EXPECT_TRUE(IsChinesePrcLocale(name)) << name;
    }
    for (const char* name :
         {"", "C", "POSIX", "zh", "zh_TW", "zh_HK.UTF-8", "zh_SG", "en_US", "en_CN", "zh_CNX"}) {
        EXPECT_FALSE(IsChinesePrcLocale(name)) << name;
    }
}

TEST(TextPairTest, InitialLanguageAndSwitching) {
    const bool saved = useChinese;
    ChooseInitialLanguage("zh_CN.UTF-8");
    EXPECT_TRUE(useChinese);
    EXPECT_STREQ(kTabNames[1].Get(), "动态均衡");
    EXPECT_STREQ(kTextWindowTitle.Get(), "人声处理器 KR38-1.01");
    // The language button names the language it switches to.
    EXPECT_STREQ(kTextLanguageButton.Get(), "English");

    ChooseInitialLanguage("en_GB.UTF-8");
    EXPECT_FALSE(useChinese);
    EXPECT_STREQ(kTabNames[1].Get(), "DEQ");
    EXPECT_STREQ(kTabNames[9].Get(), "System");
    EXPECT_STREQ(kTextLanguageButton.Get(), "中文");
    EXPECT_STREQ(kTextOffLine.Get(), "Off Line");
    useChinese = saved;
}

TEST(TextPairTest, GetTakesTheLanguageAskedFor) {
    EXPECT_STREQ(kTextUnableToOpenDevice.Get(false), "Unable to Open Device!");
    EXPECT_STREQ(kTextUnableToOpenDevice.Get(true), "不能打开设备!");
}

TEST(TextPairTest, LocaleFromTheEnvironmentByPrecedence) {
    const char* vars[] = {"LC_ALL", "LC_MESSAGES", "LANG"};
    std::string saved[3];
    bool had[3];
    for (int i = 0; i < 3; ++i) {
        const char* v = std::getenv(vars[i]);
        had[i] = v != nullptr;
        saved[i] = had[i] ? v : "";
        unsetenv(vars[i]);
    }
    EXPECT_EQ(SystemLocaleName(), "");
    setenv("LANG", "zh_CN.UTF-8", 1);
    EXPECT_EQ(SystemLocaleName(), "zh_CN.UTF-8");
    setenv("LC_MESSAGES", "en_US.UTF-8", 1);
    EXPECT_EQ(SystemLocaleName(), "en_US.UTF-8");
    setenv("LC_ALL", "", 1);  // set but empty counts as unset
    EXPECT_EQ(SystemLocaleName(), "en_US.UTF-8");
    setenv("LC_ALL", "zh_CN", 1);
    EXPECT_EQ(SystemLocaleName(), "zh_CN");
    for (int i = 0; i < 3; ++i) {
        if (had[i]) {
            setenv(vars[i], saved[i].c_str(), 1);
        } else {
            unsetenv(vars[i]);
        }
    }
}
