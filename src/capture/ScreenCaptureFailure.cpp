#include "ScreenCaptureFailure.h"

#include <QCoreApplication>

namespace tessal {

AlertSpec ScreenCaptureFailure::alert(const UserError& error, bool permissionMissing) {
    AlertSpec result;
    result.message = QCoreApplication::translate("ScreenCaptureFailure", "无法截取屏幕");
    if (permissionMissing) {
        result.informative =
            QCoreApplication::translate("ScreenCaptureFailure",
                                        "请在桌面的系统设置中允许Tessal截取屏幕。"
                                        "授权后如果仍无法截图，再退出并重新打开Tessal。");
        result.buttons = {QCoreApplication::translate("ScreenCaptureFailure", "打开系统设置"),
                          QCoreApplication::translate("ScreenCaptureFailure", "取消")};
    } else {
        result.informative =
            error.message +
            QCoreApplication::translate("ScreenCaptureFailure",
                                        "\n请重新截图；若刚连接或断开显示器，请等待屏幕布局稳定。");
        result.buttons = {QCoreApplication::translate("ScreenCaptureFailure", "知道了")};
    }
    return result;
}

}  // namespace tessal
