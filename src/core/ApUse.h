#pragma once

#include "Protocol.h"

#include <QStringView>

#include <optional>

namespace plx {

struct Environment;

// The setting ApUse: which formats an installation serves.
enum class ApUse { Eiaj, Korvan, All };

// The setting as stored: exactly "EIAJ", "KORVAN" or "ALL"; nothing for any
// other text (start-up refuses one).
std::optional<ApUse> apUseOf(QStringView stored);

// Whether an installation of `use` serves `protocol`: its own format only, or
// both for ALL. Every window, command and path that depends on ApUse asks this.
bool servesFormat(ApUse use, Protocol protocol);

// The same for the installation the program runs on. Its ApUse has passed the
// start-up check; one that has not been read (blank) serves both formats.
bool servesFormat(const Environment& env, Protocol protocol);

} // namespace plx
