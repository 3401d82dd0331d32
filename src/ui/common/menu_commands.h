#pragma once

namespace tintwell {

/// The commands of the main window's menus. Each item keeps its place in the menu as its
/// objectName ("mf_5" is Save, "mcod2_3" is Add BG/FG Width); the items added after those are
/// named for their role ("copy_colours").
enum class FileCommand { NewCarZumo, NewSportFitness, Open, Save, About, Print, Exit };
enum class EditCommand { AddPresentations, RemovePresentations };
enum class CodeCommand { CopyCode, AddWidth, RemoveWidth, CopyColours, PasteColours };
enum class HelpCommand { CheckForUpdates, Manual };

} // namespace tintwell
