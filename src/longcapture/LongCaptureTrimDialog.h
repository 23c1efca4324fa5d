#pragma once

#include "LongScreenshot.h"

namespace tessal {

// The modal "裁剪长图" dialog: the whole result with its two cut lines and two number fields
// that follow the lines; the buttons "应用", "取消", "恢复完整长图".
LongCaptureTrimAnswer runLongCaptureTrimDialog(const QImage& normalized, LongCaptureAxis axis,
                                               LongCaptureCrop crop);

}  // namespace tessal
