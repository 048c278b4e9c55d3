#include "ToolkitEnvironment.h"

#include <QGuiApplication>

namespace {

// The variables through which Qt 6.4 (qtbase and its Wayland platform, checked in their
// sources) finds code to load: a folder of plugins, a plugin chosen by its key, or a library.
// A key chooses among the plugins of every folder searched, and a plugin chosen this way may
// load further code of its own choosing (the GTK theme loads GTK, which honours its own module
// variables when the user ids match, as they do under a file capability).
constexpr const char* kCodeLoadingVariables[] = {
    "QT_PLUGIN_PATH",                       // folders searched for every kind of plugin
    "QT_QPA_PLATFORM_PLUGIN_PATH",          // folder of the platform and theme plugins
    "QT_QPA_PLATFORMTHEME",                 // a platform theme plugin
    "QT_QPA_GENERIC_PLUGINS",               // generic plugins loaded into every application
    "QT_STYLE_OVERRIDE",                    // a widget style plugin
    "QT_IM_MODULE",                         // an input method plugin
    "QT_QPA_EGLFS_INTEGRATION",             // a device integration plugin of eglfs
    "QT_WAYLAND_SHELL_INTEGRATION",         // the Wayland platform's plugins
    "QT_WAYLAND_CLIENT_BUFFER_INTEGRATION",
    "QT_WAYLAND_SERVER_BUFFER_INTEGRATION",
    "QT_WAYLAND_INPUTDEVICE_INTEGRATION",
    "QT_WAYLAND_DECORATION",
    "QT_VULKAN_LIB",                        // a Vulkan library, by name or path
    "QT_LOAD_TESTABILITY",                  // loads a test-automation library by name
    "QT_PRINTER_MODULE",                    // a print support plugin
    // The OpenGL vendor libraries' own search variables, which they honour when the user ids
    // match: read if an OpenGL library gets loaded after all (eglfs, Wayland).
    "__EGL_VENDOR_LIBRARY_FILENAMES",
    "__EGL_VENDOR_LIBRARY_DIRS",
    "__GLX_VENDOR_LIBRARY_NAME",
    "LIBGL_DRIVERS_PATH",
    "GBM_BACKENDS_PATH",
};

// Checked and kept, as they load nothing: QT_QPA_PLATFORM (the platform's name; its plugin then
// comes from Qt's own folder or the program's, as a qt.conf beside the program says), QT_QPA_FONTDIR
// (font files), QT_SCALE_FACTOR, QT_SCREEN_SCALE_FACTORS, QT_ENABLE_HIGHDPI_SCALING,
// QT_SCALE_FACTOR_ROUNDING_POLICY, QT_USE_PHYSICAL_DPI, QT_FONT_DPI (scale), QT_LOGGING_RULES,
// QT_LOGGING_CONF, QT_MESSAGE_PATTERN, QT_DEBUG_PLUGINS (messages), QT_NO_GLIB (the event
// dispatcher, set by the program itself), QT_QPA_SYSTEM_ICON_THEME, QT_FILE_SELECTORS and the
// XDG_* folders (pictures and data), DISPLAY and WAYLAND_DISPLAY (the display server), the other
// QT_XCB_*, QT_QPA_EVDEV_* and QT_WAYLAND_* switches (behaviour). LD_LIBRARY_PATH, which Qt's TLS
// plugin would read, is removed by the C library itself in such a run, and the program loads no
// TLS plugin.

} // namespace

void ConfineToolkitLoading(bool raised)
{
    if (!raised)
        return;
    for (const char* name : kCodeLoadingVariables)
        qunsetenv(name);
    // The xcb platform loads an OpenGL plugin, and with it the OpenGL libraries, when a window
    // asks; the program draws with the raster engine alone.
    qputenv("QT_XCB_GL_INTEGRATION", "none");
    // The desktop named by XDG_CURRENT_DESKTOP and DESKTOP_SESSION chooses a theme plugin too
    // (a GTK-based desktop the GTK one); without the desktop's settings, Qt's built-in theme.
    QGuiApplication::setDesktopSettingsAware(false);
}
