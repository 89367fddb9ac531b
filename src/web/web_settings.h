#pragma once

// Section [Web] of zodided.ini: the live results page and its published copy.

#include <string>

namespace kuzelna {

class IniFile;

struct WebSettings {
    int port = 8080;                // Port; 0 = no page
    std::string listen = "0.0.0.0"; // Listen: the address the page is served on
    int publishSeconds = 15;        // PublishSeconds: period of the uploads
    std::string publishUrl;         // PublishUrl: folder URL of the club's web host; empty = off
    std::string publishUser;        // PublishUser / PublishPassword, when not in the URL
    std::string publishPassword;
    int clientsPerAddress = 16; // ClientsPerAddress: connections one device may hold at once
    bool publishInsecure = false; // PublishInsecure=1: ftp:// and http:// may carry the password
};

// Missing or unusable values take their defaults (a port outside 0..65535 and a
// period below 1 s and a share below 1 are unusable).
WebSettings readWebSettings(const IniFile& ini);

} // namespace kuzelna
