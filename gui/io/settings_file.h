#pragma once

#include <functional>
#include <optional>
#include <string>

#include "gui/io/profile_file.h"
#include "gui/model/map_info.h"
#include "gui/model/rule_table.h"

namespace visual {

/// The type set assumed when a settings file names none.
inline constexpr const char* kDefaultTypeSet = "Russa";

/// Fills `profile` with section Header, one Record<N> per row not marked New, and AllRec;
/// `progress` gets the row number (from 1) of each row. Returns the number of records.
int writeSettings(const MapInfo& document, const RuleTable& rules, ProfileFile& profile,
                  const std::function<void(int)>& progress);

/// Reads section Header of `profile` into `document` (the map's own levels untouched).
void readSettingsHeader(const ProfileFile& profile, MapInfo& document);
/// More records than any map has types; a larger RecCount comes from a damaged file.
inline constexpr int kMaxRecordCount = 1000000;

/// The number of records (key RecCount of AllRec), 0 when missing, at most kMaxRecordCount.
int readRecordCount(const ProfileFile& profile);
/// The rule row of section Record<n>, with the defaults for missing keys; not Used, not New.
RuleRecord readRecord(const ProfileFile& profile, int n);

/// Why `row` cannot go into a script ("ID=<value>: " and what was expected), or nothing when it
/// can: the type codes (ID and the code part of cbObjectChange<n>) must be a hexadecimal
/// code such as 0x2f06 or a decimal number, and the comparison values eValue<n> numbers, since
/// the script holds them outside quoted strings.
std::optional<std::string> recordFault(const RuleRecord& row);

/// A text value as written, enclosed in double quotes when the profile functions would
/// otherwise change it on reading.
std::string quotedForProfile(const std::string& value);

}  // namespace visual
