// Section [Web] of zodided.ini.

#include "core/ini_file.h"
#include "web/web_settings.h"

#include <gtest/gtest.h>

using namespace kuzelna;

namespace {

WebSettings read(const std::string& content) {
    IniFile ini;
    ini.parse(content);
    return readWebSettings(ini);
}

} // namespace

TEST(WebSettings, MissingSectionGivesTheDefaults) {
    const WebSettings settings = read("[Kuzelna]\r\nNazev=X\r\n");
    EXPECT_EQ(settings.port, 8080);
    EXPECT_EQ(settings.listen, "0.0.0.0");
    EXPECT_EQ(settings.publishSeconds, 15);
    EXPECT_EQ(settings.publishUrl, "");
    EXPECT_EQ(settings.publishUser, "");
    EXPECT_EQ(settings.publishPassword, "");
    EXPECT_EQ(settings.clientsPerAddress, 16);
    EXPECT_FALSE(settings.publishInsecure);
}

TEST(WebSettings, KeysAreRead) {
    const WebSettings settings = read("[Web]\r\nPort=0\r\nListen=127.0.0.1\r\nPublishSeconds=30\r\n"
                                      "PublishUrl=ftp://127.0.0.1:2121/live/\r\nPublishUser=klub\r\n"
                                      "PublishPassword=tajne heslo\r\nClientsPerAddress=4\r\nPublishInsecure=1\r\n");
    EXPECT_EQ(settings.port, 0);
    EXPECT_EQ(settings.listen, "127.0.0.1");
    EXPECT_EQ(settings.publishSeconds, 30);
    EXPECT_EQ(settings.publishUrl, "ftp://127.0.0.1:2121/live/");
    EXPECT_EQ(settings.publishUser, "klub");
    EXPECT_EQ(settings.publishPassword, "tajne heslo");
    EXPECT_EQ(settings.clientsPerAddress, 4);
    EXPECT_TRUE(settings.publishInsecure);
}

TEST(WebSettings, UnusableValuesKeepTheDefaults) {
    struct Case {
        const char* content;
        int port, seconds;
        const char* listen;
        int share = 16;
    };
    const Case cases[] = {
        {"[Web]\nPort=65536\nPublishSeconds=0\nClientsPerAddress=0\n", 8080, 15, "0.0.0.0"},
        {"[Web]\nPort=-1\nPublishSeconds=-5\nListen=\nClientsPerAddress=-3\n", 8080, 15, "0.0.0.0"},
        {"[Web]\nPort=osm\nPublishSeconds=x\nClientsPerAddress=x\n", 8080, 15, "0.0.0.0"},
        {"[web]\nport=65535\npublishseconds=1\nlisten=::1\nclientsperaddress=1\n", 65535, 1, "::1", 1},
    };
    for (const Case& c : cases) {
        const WebSettings settings = read(c.content);
        EXPECT_EQ(settings.port, c.port) << c.content;
        EXPECT_EQ(settings.publishSeconds, c.seconds) << c.content;
        EXPECT_EQ(settings.listen, c.listen) << c.content;
        EXPECT_EQ(settings.clientsPerAddress, c.share) << c.content;
    }
}
