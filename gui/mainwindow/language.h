#pragma once

#include <QString>

class QTranslator;

// The user-interface languages: 0 English, 1 simplified Chinese, 2
// traditional Chinese, as LT.txt stores them.
namespace Language {

constexpr int kCount = 3;

// The translation file of a language, without the ".qm" suffix, in the
// program's data folder (not the working directory: a program started from a
// desktop menu runs elsewhere).
QString translationFile(int code);

// Loads the language into the application's translator and reinstalls it,
// which makes every open window retranslate. A missing or unreadable file
// leaves the current texts in place; false then. `qtTexts` takes Qt's own
// texts of that language (file dialogs, standard buttons) where the system
// has them.
bool install(QTranslator &translator, QTranslator &qtTexts, int code);

// Replaces LT.txt by the code as decimal text; the old file stays whole
// when the new one cannot be written.
bool writeChoice(int code);

}  // namespace Language
