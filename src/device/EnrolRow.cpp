#include "device/EnrolRow.h"

QString EnrolStateText(EnrolState state)
{
    switch (state) {
    case EnrolState::Pending:
        return QStringLiteral("待导入");
    case EnrolState::Invalid:
        return QStringLiteral("无效");
    case EnrolState::Skipped:
        return QStringLiteral("已跳过");
    case EnrolState::Succeeded:
        return QStringLiteral("成功");
    case EnrolState::Failed:
        return QStringLiteral("失败");
    case EnrolState::Cancelled:
        return QStringLiteral("已取消");
    }
    return {};
}

QString EnrolStepText(EnrolStep step)
{
    switch (step) {
    case EnrolStep::Find:
        return QStringLiteral("查询人员");
    case EnrolStep::Create:
        return QStringLiteral("创建人员");
    case EnrolStep::Update:
        return QStringLiteral("更新人员");
    case EnrolStep::Validity:
        return QStringLiteral("设置有效期");
    case EnrolStep::Face:
        return QStringLiteral("创建人脸");
    case EnrolStep::FaceUpdate:
        return QStringLiteral("照片更新");
    }
    return {};
}
