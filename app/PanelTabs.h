// Which page and which help topic belong to each tab of the settings panel.
#pragma once

// The page member shown under each tab: tab 0 the region page (member 2),
// tab 1 the hotkey page (member 1), tabs 2 and 3 the video and sound pages.
// Members are counted from 1; 0 for an index outside 0..3.
int PageMemberForTab(int tab);
// Help topic of a tab: 5 + the tab index.
int HelpTopicForTab(int tab);
