#pragma once

/// What the session tells the user, each text written once.
namespace session_messages {
/// an export asked for with no route points
inline const char16_t* const NoData = u"データがありません";
/// no slot of the state folder could be claimed for the autosave
inline const char16_t* const NoAutosaveSlot = u"自動保存のファイルを確保できません";
/// shown in the route menu while the autosave cannot write; %1: why
inline const char16_t* const AutosaveFailed = u"自動保存できません：%1";
/// the autosave's own name inside its file
inline const char16_t* const AutosaveName = u"自動保存";
}  // namespace session_messages
