// Resource numbers of the settings pages (dialogs 202, 203, 205 to 209 and
// their strings). Placeholder: the settings pages fill this file.
#pragma once
