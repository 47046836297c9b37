#pragma once

/// What the map page bridge reports when it fails.
namespace bridge_messages {
inline const char16_t* const PageNotLoaded = u"地図ページが読み込まれていないため、地図を移動できません";
inline const char16_t* const NoGotoLatLng = u"地図ページに GotoLatLng がありません";
/// %1: what the page said
inline const char16_t* const RecentreFailed = u"地図の移動に失敗しました: %1";
inline const char16_t* const NoChannelScript = u"ページ連携スクリプトを読み込めません";
}  // namespace bridge_messages
