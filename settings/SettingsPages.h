// The four settings pages, in the order of the settings panel's members.
#pragma once

#include "HotkeyPage.h"   // CMyPropertyPage1
#include "RegionPage.h"   // CMyPropertyPage2
#include "VideoPage.h"    // CMyPropertyPage3
#include "SoundPage.h"    // CMyPropertyPage4
