#include "web/web_settings.h"

#include "core/ini_file.h"

namespace kuzelna {

WebSettings readWebSettings(const IniFile& ini) {
    WebSettings settings;
    const int port = ini.readInteger("Web", "Port", settings.port);
    if (port >= 0 && port <= 65535) settings.port = port;
    const std::string listen = ini.readString("Web", "Listen");
    if (!listen.empty()) settings.listen = listen;
    const int seconds = ini.readInteger("Web", "PublishSeconds", settings.publishSeconds);
    if (seconds >= 1) settings.publishSeconds = seconds;
    const int share = ini.readInteger("Web", "ClientsPerAddress", settings.clientsPerAddress);
    if (share >= 1) settings.clientsPerAddress = share;
    settings.publishUrl = ini.readString("Web", "PublishUrl");
    settings.publishUser = ini.readString("Web", "PublishUser");
    settings.publishPassword = ini.readString("Web", "PublishPassword");
    settings.publishInsecure = ini.readBool("Web", "PublishInsecure", false);
    return settings;
}

} // namespace kuzelna
