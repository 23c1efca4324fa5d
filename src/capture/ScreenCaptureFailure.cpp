#include "ScreenCaptureFailure.h"

namespace tessal {

AlertSpec ScreenCaptureFailure::alert(const UserError& error, bool permissionMissing) {
    AlertSpec result;
    result.message = QStringLiteral("无法截取屏幕");
    if (permissionMissing) {
        result.informative = QStringLiteral(
            "请在桌面的系统设置中允许Tessal截取屏幕。"
            "授权后如果仍无法截图，再退出并重新打开Tessal。");
        result.buttons = {QStringLiteral("打开系统设置"), QStringLiteral("取消")};
    } else {
        result.informative =
            error.message +
            QStringLiteral("\n请重新截图；若刚连接或断开显示器，请等待屏幕布局稳定。");
        result.buttons = {QStringLiteral("知道了")};
    }
    return result;
}

}  // namespace tessal
