#include "ui/SkinPaths.h"

#include <cstddef>

namespace rf {

std::string_view LanguageVariant(std::string_view chinese, std::string_view other, std::uint16_t languageId) {
    return languageId == kChineseLanguageId ? chinese : other;
}

SkinPaths BuildSkinPaths(const std::string& exeDirectory, std::uint16_t languageId) {
    const std::string skin = exeDirectory + "Skin/";
    const auto path = [&skin](std::string_view file) { return skin + std::string(file); };
    const auto variant = [&](std::string_view chinese, std::string_view other) {
        return path(LanguageVariant(chinese, other, languageId));
    };
    SkinPaths p;
    p.mainBk = path("main_bk.jpg");
    p.mainLeftBk = path("main_left_bk.jpg");
    p.applicationIcon = path("Application.ico");
    p.closeNormal = path("close_normal.bmp");
    p.minNormal = path("min_normal.bmp");
    p.maxNormal = path("max_normal.bmp");
    p.restoreNormal = path("restore_normal.bmp");
    p.helpNormal = path("help_normal.bmp");
    p.helpProduct = path("help_product_normal.bmp");
    p.helpSupport = path("help_support_normal.bmp");
    p.helpContact = path("help_contact_normal.bmp");
    p.helpHelp = path("help_help_normal.bmp");
    p.menuSearchNormal = path("bt_menu_search_normal.bmp");
    p.menuSearchDown = path("bt_menu_search_down.bmp");
    p.menuWirelessNormal = path("bt_menu_wireless_normal.bmp");
    p.menuWirelessDown = path("bt_menu_wireless_down.bmp");
    p.closeWait = path("close_wait.bmp");
    p.installHelp = variant("help_chinese.jpg", "help_other.jpg");
    p.webButton = variant("web_chinese.bmp", "web_other.bmp");
    p.bridgeButton = variant("bridge_chinese.bmp", "bridge_other.bmp");
    p.btnSearch = path("btn_search.bmp");
    p.btnUpdateNormal = path("btn_update_normal.bmp");
    p.btnUpdateDown = path("btn_update_down.bmp");
    p.btnConfig = path("btn_config.bmp");
    p.configBtn = path("config_btn.bmp");
    p.closeConfig = path("close_config.bmp");
    p.wirelessBasic = path("wireless_basic.bmp");
    p.wirelessConfig = path("wireless_config.bmp");
    p.btnPie = path("btn_pie.bmp");
    p.btnPie2 = path("btn_pie2.bmp");
    p.waitSearch = path("wait_search.gif");
    p.write = path("write.bmp");
    p.bridgeFinish = path("bridge_finish.jpg");
    for (size_t i = 0; i < p.signalStrength.size(); ++i) {
        p.signalStrength[i] = path("singal_strength" + std::to_string(i) + ".bmp");
    }
    p.line = path("line.bmp");
    p.grayLine = path("gray_line.bmp");
    p.orangeLine = path("orange_line.bmp");
    return p;
}

const std::vector<std::string_view>& SkinFileNames() {
    static const std::vector<std::string_view> names{
        "main_bk.jpg",
        "main_left_bk.jpg",
        "Application.ico",
        "close_normal.bmp",
        "min_normal.bmp",
        "max_normal.bmp",
        "restore_normal.bmp",
        "help_normal.bmp",
        "help_product_normal.bmp",
        "help_support_normal.bmp",
        "help_contact_normal.bmp",
        "help_help_normal.bmp",
        "bt_menu_search_normal.bmp",
        "bt_menu_search_down.bmp",
        "bt_menu_wireless_normal.bmp",
        "bt_menu_wireless_down.bmp",
        "close_wait.bmp",
        "help_chinese.jpg",
        "help_other.jpg",
        "web_chinese.bmp",
        "web_other.bmp",
        "bridge_chinese.bmp",
        "bridge_other.bmp",
        "btn_search.bmp",
        "btn_update_normal.bmp",
        "btn_update_down.bmp",
        "btn_config.bmp",
        "config_btn.bmp",
        "close_config.bmp",
        "wireless_basic.bmp",
        "wireless_config.bmp",
        "btn_pie.bmp",
        "btn_pie2.bmp",
        "wait_search.gif",
        "write.bmp",
        "bridge_finish.jpg",
        "singal_strength0.bmp",
        "singal_strength1.bmp",
        "singal_strength2.bmp",
        "singal_strength3.bmp",
        "singal_strength4.bmp",
        "singal_strength5.bmp",
        "line.bmp",
        "gray_line.bmp",
        "orange_line.bmp",
    };
    return names;
}

} // namespace rf
