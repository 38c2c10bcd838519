#pragma once

namespace vantrel {

// Looks the window's texts up with wx's translations in the user's language:
// the program's own from its "vantrel" catalog, and wx's stock texts from
// wx's. The core's texts go through them too. Called once on the UI thread
// before the window and any other thread exist.
void UseWindowTranslations();

}  // namespace vantrel
