#include "ChildRegionPermissionGuide.h"

#include "platform/AccessibilityService.h"
#include "platform/Workspace.h"

#include <QCoreApplication>

namespace tessal {

AlertSpec ChildRegionPermissionGuide::alert(const QString& shortcutLabel) {
    AlertSpec result;
    result.message = QCoreApplication::translate("ChildRegionPermissionGuide", "增强自动选区识别");
    result.informative =
        QCoreApplication::translate("ChildRegionPermissionGuide",
                                    "Tessal已默认按图像边界识别卡片和面板。允许辅助功能后，还能补充"
                                    "应用的控件层级，识别更准确。\n\n"
                                    "点击“去开启”，Tessal会为当前桌面会话打开辅助功能（AT-SPI），并"
                                    "打开桌面的辅助功能设置。随后回到要截图的窗口，再按 %1。\n\n"
                                    "选择“先截图”也能使用图像自动选区和手动框选。")
            .arg(shortcutLabel);
    result.buttons = {QCoreApplication::translate("ChildRegionPermissionGuide", "去开启"),
                      QCoreApplication::translate("ChildRegionPermissionGuide", "先截图")};
    return result;
}

void ChildRegionPermissionGuide::openSettings(AccessibilityService& accessibility,
                                              Workspace& workspace) {
    accessibility.requestTrust();
    workspace.openAccessibilitySettings();
}

}  // namespace tessal
