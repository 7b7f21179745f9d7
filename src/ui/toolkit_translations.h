#pragma once
// The toolkit's own texts (its file dialogs, the buttons of its boxes) in the system's language,
// from the translations the system ships with the toolkit.

class QCoreApplication;

namespace kavo {

// Installs them into the application for the default locale; true when the system had them.
bool InstallToolkitTranslations(QCoreApplication& app);

}  // namespace kavo
