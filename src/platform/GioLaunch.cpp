// GIO first: its headers use "signals" as a field name, which Qt turns into a keyword.
#include <gio/gdesktopappinfo.h>
#include <gio/gio.h>

#include "platform/GioLaunch.h"

#include <unistd.h>

#include <memory>

namespace gio {
namespace {

struct ObjectUnref {
    void operator()(gpointer p) const
    {
        if (p)
            g_object_unref(p);
    }
};
template <class T>
using Ref = std::unique_ptr<T, ObjectUnref>;

struct GFreeDeleter {
    void operator()(gpointer p) const { g_free(p); }
};
using GStr = std::unique_ptr<char, GFreeDeleter>;

// Collects a GError and frees it.
class Error {
public:
    ~Error()
    {
        if (m_error)
            g_error_free(m_error);
    }
    GError** out() { return &m_error; }
    std::string text(const std::string& fallback) const
    {
        return m_error && m_error->message ? m_error->message : fallback;
    }

private:
    GError* m_error{nullptr};
};

Outcome fail(std::string why) { return {false, std::move(why)}; }

// Runs in the child between fork and exec: only async-signal-safe calls belong here.
// A folder that vanished since the caller checked it leaves the child where it is.
void enterFolder(gpointer folder)
{
    if (folder)
        [[maybe_unused]] int r = ::chdir(static_cast<const char*>(folder));
}

// Launches app with uris. A desktop-file application is started through GLib's spawn,
// which reports an Exec line whose program cannot start; the working folder is set in
// the child so that the launcher's own current folder never changes. An entry that
// names its own folder (Path=) keeps it.
Outcome launch(GAppInfo* app, GList* uris, const std::string& workingFolder)
{
    Error error;
    gboolean ok = FALSE;
    if (G_IS_DESKTOP_APP_INFO(app)) {
        GDesktopAppInfo* entry = G_DESKTOP_APP_INFO(app);
        GStr ownPath(g_desktop_app_info_get_string(entry, "Path"));
        const bool useFolder = !workingFolder.empty() && !(ownPath && *ownPath);
        ok = g_desktop_app_info_launch_uris_as_manager(
            entry, uris, nullptr, G_SPAWN_SEARCH_PATH, useFolder ? enterFolder : nullptr,
            useFolder ? const_cast<char*>(workingFolder.c_str()) : nullptr, nullptr, nullptr,
            error.out());
    } else {
        ok = g_app_info_launch_uris(app, uris, nullptr, error.out());
    }
    return ok ? Outcome{true, {}} : fail(error.text("the application could not be started"));
}

Outcome launchWithUris(GAppInfo* app, const std::vector<std::string>& uris,
                       const std::string& workingFolder)
{
    GList* list = nullptr;
    for (auto it = uris.rbegin(); it != uris.rend(); ++it)
        list = g_list_prepend(list, const_cast<char*>(it->c_str()));
    Outcome result = launch(app, list, workingFolder);
    g_list_free(list);
    return result;
}

std::string uriOfPath(const std::string& path)
{
    Ref<GFile> file(g_file_new_for_path(path.c_str()));
    GStr uri(g_file_get_uri(file.get()));
    return uri ? std::string(uri.get()) : std::string();
}

// A Type=Link entry carries a URL instead of a program.
Outcome openLinkEntry(const std::string& desktopFile)
{
    GKeyFile* keys = g_key_file_new();
    std::string url;
    if (g_key_file_load_from_file(keys, desktopFile.c_str(), G_KEY_FILE_NONE, nullptr)) {
        GStr type(g_key_file_get_string(keys, G_KEY_FILE_DESKTOP_GROUP, G_KEY_FILE_DESKTOP_KEY_TYPE, nullptr));
        GStr link(g_key_file_get_string(keys, G_KEY_FILE_DESKTOP_GROUP, G_KEY_FILE_DESKTOP_KEY_URL, nullptr));
        if (type && link && std::string(type.get()) == G_KEY_FILE_DESKTOP_TYPE_LINK)
            url = link.get();
    }
    g_key_file_free(keys);
    if (url.empty())
        return fail("not a launchable desktop entry: " + desktopFile);
    return OpenUri(url);
}

} // namespace

bool LooksLikeUri(const std::string& text)
{
    const std::size_t colon = text.find(':');
    if (colon == std::string::npos || colon < 2)
        return false;
    if (!g_ascii_isalpha(text[0]))
        return false;
    for (std::size_t i = 1; i < colon; ++i) {
        const char c = text[i];
        if (!g_ascii_isalnum(c) && c != '+' && c != '-' && c != '.')
            return false;
    }
    return true;
}

Outcome SpawnDetached(const std::string& path, const std::vector<std::string>& args,
                      const std::string& workingFolder)
{
    std::vector<char*> argv;
    argv.reserve(args.size() + 2);
    argv.push_back(const_cast<char*>(path.c_str()));
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    Error error;
    // No G_SPAWN_SEARCH_PATH: path is already the file to run. No DO_NOT_REAP_CHILD:
    // GLib's intermediate child makes the program an orphan of init.
    const gboolean ok = g_spawn_async(workingFolder.empty() ? nullptr : workingFolder.c_str(),
                                      argv.data(), nullptr, GSpawnFlags(0), nullptr, nullptr,
                                      nullptr, error.out());
    return ok ? Outcome{true, {}} : fail(error.text("the program could not be started"));
}

Outcome LaunchDesktopEntry(const std::string& desktopFile, const std::vector<std::string>& files,
                           const std::string& workingFolder)
{
    Ref<GDesktopAppInfo> entry(g_desktop_app_info_new_from_filename(desktopFile.c_str()));
    if (!entry)
        return files.empty() ? openLinkEntry(desktopFile)
                             : fail("not an application entry: " + desktopFile);
    std::vector<std::string> uris;
    for (const std::string& f : files)
        uris.push_back(uriOfPath(f));
    return launchWithUris(G_APP_INFO(entry.get()), uris, workingFolder);
}

Outcome OpenWithDefaultHandler(const std::string& path, const std::string& workingFolder)
{
    Ref<GFile> file(g_file_new_for_path(path.c_str()));
    Error error;
    Ref<GFileInfo> info(g_file_query_info(file.get(), G_FILE_ATTRIBUTE_STANDARD_CONTENT_TYPE,
                                          G_FILE_QUERY_INFO_NONE, nullptr, error.out()));
    if (!info)
        return fail(error.text("cannot read " + path));
    const char* type = g_file_info_get_content_type(info.get());
    if (!type)
        return fail("the type of " + path + " is unknown");
    Ref<GAppInfo> app(g_app_info_get_default_for_type(type, FALSE));
    if (!app)
        return fail(std::string("no application is set to open ") + type);
    GStr uri(g_file_get_uri(file.get()));
    return launchWithUris(app.get(), {uri.get()}, workingFolder);
}

Outcome OpenUri(const std::string& uri)
{
    GStr scheme(g_uri_parse_scheme(uri.c_str()));
    if (!scheme)
        return fail("not a link: " + uri);
    if (g_ascii_strcasecmp(scheme.get(), "file") == 0) {
        GStr path(g_filename_from_uri(uri.c_str(), nullptr, nullptr));
        if (!path)
            return fail("not a local file: " + uri);
        return OpenWithDefaultHandler(path.get(), {});
    }
    Ref<GAppInfo> app(g_app_info_get_default_for_uri_scheme(scheme.get()));
    if (!app)
        return fail(std::string("no application is set to open ") + scheme.get() + ": links");
    return launchWithUris(app.get(), {uri}, {});
}

} // namespace gio
