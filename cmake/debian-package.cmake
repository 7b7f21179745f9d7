# `cpack -G DEB` in a build folder makes the Debian package of what `cmake --install` installs,
# under /usr, with its library dependencies computed by dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kavo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_CONTACT "Kavo developers <kavo@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "floating bar of buttons that type keyboard shortcuts")
# The long description below the summary; CPack indents its lines.
set(CPACK_PACKAGE_DESCRIPTION
    "Kavo is a small, borderless bar that floats above every window, for people
working with a pen or a mouse. Each button is bound to a shortcut of one to
three keys, such as Ctrl+Z for Undo; clicking it brings the target window back
to the front and types the shortcut into it. The target is the first window of
another program that you bring to the front after starting the bar or choosing
ReAcquire, and it stays the target until you choose ReAcquire again. With
Follow checked in the bar's menu, the target is always the window of another
program that you brought to the front last.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time rather than linked, so dpkg-shlibdeps cannot see it: the X11 platform.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
# The Wayland platform, for wlroots desktops and KDE Plasma (without it the bar runs through
# XWayland); the toolkit's own texts in the file dialogs and boxes, in the system's language.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
