#pragma once
// Which language's names Quillmark shows for a game: the user's choice for
// that game folder, else the game's own setting, else US English.

#include <string>
#include <vector>

#include "1-platform/Registry.h"
#include "1-platform/Ui.h"

namespace qm {

// The language code of the game's SIMS_LANGUAGE setting: the re-release's
// (HKEY_CURRENT_USER\Software\Electronic Arts\The Sims 25), else the classic
// installs' (HKEY_LOCAL_MACHINE\Software\Maxis\The Sims); 0 when neither
// names a language.
int GameSettingLanguage(Registry& registry);

// The game's setting when the tables hold it (codes `held`), else US English.
int DefaultLanguage(Registry& registry, const std::vector<int>& held);

// The language code that `text` names: a language's name or setting string
// (case and spaces aside), or its code; 0 for none.
int LanguageCodeOf(const std::string& text);

// The language to show for the game in `folder` whose tables hold the
// languages `held` (codes): the choice stored for that folder, else the
// game's setting, when held; else US English.
int StartLanguage(Settings& settings, Registry& registry, const std::string& folder,
                  const std::vector<int>& held);

// Remembers language `code` as the choice for `folder`.
SysCode StoreLanguageChoice(Settings& settings, const std::string& folder, int code);

}  // namespace qm
