#pragma once

namespace tintwell {

/// The two buttons at the foot of the dialogs: Cancel (`command1_0`) and the one that takes the
/// choice, Apply or Add (`command1_1`).
enum class DialogButton { Cancel, Apply };

} // namespace tintwell
