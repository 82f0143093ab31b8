#include "mdlParamCls.h"

#include "G_Param.h"

void ClearParams() {
    G_Param.RecordBuffer = MeasureRecord{};
    G_Param.CurrentValues = MeasureValues{};
}
