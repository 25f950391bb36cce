#pragma once

// The credits line that runs along the bottom of the menu.
extern const char creditsText[];
