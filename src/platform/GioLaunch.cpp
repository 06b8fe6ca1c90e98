// GIO's headers for its types only: every call goes through the table below, filled
// from the library loaded on first use, so the launcher neither links GIO nor loads it
// (with GObject and what they pull in) before something is launched through it.
// GIO first: its headers use "signals" as a field name, which Qt turns into a keyword.
#include <gio/gdesktopappinfo.h>
#include <gio/gio.h>

#include "platform/GioLaunch.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <mutex>

namespace gio {
namespace {

// The functions used from GLib (already loaded by Qt on most systems, so starting a
// program costs nothing more) and from GIO (with GObject, loaded by the first launch of
// an entry, document or link). Names of ours: GLib may define some of its own names as
// macros.
#define VYRE_GLIB_FUNCTIONS(X)                                                                 \
    X(gFree, g_free)                                                                           \
    X(errorFree, g_error_free)                                                                 \
    X(spawnAsync, g_spawn_async)                                                               \
    X(listPrepend, g_list_prepend)                                                             \
    X(listFree, g_list_free)                                                                   \
    X(keyFileNew, g_key_file_new)                                                              \
    X(keyFileLoadFromFile, g_key_file_load_from_file)                                          \
    X(keyFileGetString, g_key_file_get_string)                                                 \
    X(keyFileFree, g_key_file_free)                                                            \
    X(uriParseScheme, g_uri_parse_scheme)                                                      \
    X(asciiStrcasecmp, g_ascii_strcasecmp)                                                     \
    X(filenameFromUri, g_filename_from_uri)

#define VYRE_GIO_FUNCTIONS(X)                                                                  \
    X(objectUnref, g_object_unref)                                                             \
    X(typeCheckInstanceIsA, g_type_check_instance_is_a)                                        \
    X(desktopAppInfoGetType, g_desktop_app_info_get_type)                                      \
    X(desktopAppInfoNewFromFilename, g_desktop_app_info_new_from_filename)                     \
    X(desktopAppInfoGetString, g_desktop_app_info_get_string)                                  \
    X(desktopAppInfoLaunchUrisAsManager, g_desktop_app_info_launch_uris_as_manager)            \
    X(appInfoLaunchUris, g_app_info_launch_uris)                                               \
    X(appInfoSupportsUris, g_app_info_supports_uris)                                           \
    X(appInfoGetDefaultForType, g_app_info_get_default_for_type)                               \
    X(appInfoGetDefaultForUriScheme, g_app_info_get_default_for_uri_scheme)                    \
    X(fileNewForPath, g_file_new_for_path)                                                     \
    X(fileGetUri, g_file_get_uri)                                                              \
    X(fileQueryInfo, g_file_query_info)                                                        \
    X(fileInfoGetContentType, g_file_info_get_content_type)                                    \
    X(contentTypeGetDescription, g_content_type_get_description)

#define VYRE_DECLARE(member, symbol) decltype(&symbol) member = nullptr;
#define VYRE_RESOLVE(member, symbol)                                                           \
    t.member = reinterpret_cast<decltype(&symbol)>(::dlsym(handle, #symbol));                 \
    if (!t.member)                                                                             \
        return missing(#symbol);

struct GlibTable {
    VYRE_GLIB_FUNCTIONS(VYRE_DECLARE)
};
struct GioTable {
    VYRE_GIO_FUNCTIONS(VYRE_DECLARE)
};

// A library once loaded, or why it could not be.
template <class Table>
struct Loaded {
    bool tried{false};
    bool ok{false};
    Table table;
    std::string error;
};

const char* const SystemGlib = "libglib-2.0.so.0";
const char* const SystemGio = "libgio-2.0.so.0";

struct Libraries {
    std::mutex mutex;
    std::string glibName{SystemGlib};
    std::string gioName{SystemGio};
    Loaded<GlibTable> glib;
    Loaded<GioTable> gio;
};

Libraries& libraries()
{
    static Libraries libs;
    return libs;
}

// Opens name for good (GLib and GIO cannot be unloaded once their types are registered)
// and fills table by resolveAll; an error text when the library or a symbol is missing.
template <class Table, class Resolve>
void load(Loaded<Table>& into, const std::string& name, const char* what, Resolve resolveAll)
{
    into.tried = true;
    void* handle = ::dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (!handle) {
        const char* why = ::dlerror();
        into.error = std::string(what) + " could not be loaded: " + (why ? why : name);
        return;
    }
    into.error = resolveAll(handle, into.table);
    if (!into.error.empty())
        into.error = std::string(what) + " (" + name + ") is unusable: " + into.error + " is missing";
    into.ok = into.error.empty();
}

std::string resolveGlib(void* handle, GlibTable& t)
{
    const auto missing = [](const char* symbol) { return std::string(symbol); };
    VYRE_GLIB_FUNCTIONS(VYRE_RESOLVE)
    return {};
}

std::string resolveGio(void* handle, GioTable& t)
{
    const auto missing = [](const char* symbol) { return std::string(symbol); };
    VYRE_GIO_FUNCTIONS(VYRE_RESOLVE)
    return {};
}

// GLib's functions, loading it on first use; null, with why, when it cannot be had.
const GlibTable* glibOrWhy(std::string& why)
{
    Libraries& libs = libraries();
    std::lock_guard lock(libs.mutex);
    if (!libs.glib.tried)
        load(libs.glib, libs.glibName, "GLib", resolveGlib);
    why = libs.glib.error;
    return libs.glib.ok ? &libs.glib.table : nullptr;
}

// GIO's functions, and GLib's that go with them.
struct Both {
    const GlibTable* glib{nullptr};
    const GioTable* gio{nullptr};
};
Both gioOrWhy(std::string& why)
{
    const GlibTable* glib = glibOrWhy(why);
    if (!glib)
        return {};
    Libraries& libs = libraries();
    std::lock_guard lock(libs.mutex);
    if (!libs.gio.tried)
        load(libs.gio, libs.gioName, "GIO", resolveGio);
    why = libs.gio.error;
    return libs.gio.ok ? Both{glib, &libs.gio.table} : Both{};
}

#undef VYRE_RESOLVE
#undef VYRE_DECLARE
#undef VYRE_GIO_FUNCTIONS
#undef VYRE_GLIB_FUNCTIONS

// Frees what GLib and GIO hand out, through the loaded functions.
struct ObjectUnref {
    const GioTable* gio;
    void operator()(gpointer p) const
    {
        if (p)
            gio->objectUnref(p);
    }
};
template <class T>
using Ref = std::unique_ptr<T, ObjectUnref>;

struct GFreeDeleter {
    const GlibTable* glib;
    void operator()(gpointer p) const { glib->gFree(p); }
};
using GStr = std::unique_ptr<char, GFreeDeleter>;

// Collects a GError and frees it.
class Error {
public:
    explicit Error(const GlibTable& glib) : m_glib(glib) {}
    ~Error()
    {
        if (m_error)
            m_glib.errorFree(m_error);
    }
    Error(const Error&) = delete;
    Error& operator=(const Error&) = delete;
    GError** out() { return &m_error; }
    std::string text(const std::string& fallback) const
    {
        return m_error && m_error->message ? m_error->message : fallback;
    }

private:
    const GlibTable& m_glib;
    GError* m_error{nullptr};
};

Failure failure(std::string why) { return Failure{std::move(why)}; }

// Everything below is handed the loaded functions.
struct Api {
    const GlibTable& glib;
    const GioTable& gio;

    template <class T>
    Ref<T> ref(T* p) const { return Ref<T>(p, ObjectUnref{&gio}); }
    GStr str(char* p) const { return GStr(p, GFreeDeleter{&glib}); }
};

// Runs in the child between fork and exec: only async-signal-safe calls belong here.
// A folder that vanished since the caller checked it leaves the child where it is.
void enterFolder(gpointer folder)
{
    if (folder)
        [[maybe_unused]] int r = ::chdir(static_cast<const char*>(folder));
}

Result<void> openUriWith(const Api& api, const std::string& uri);

// Launches app with uris. A desktop-file application is started through GLib's spawn,
// which reports an Exec line whose program cannot start; the working folder is set in
// the child so that the launcher's own current folder never changes. An entry that
// names its own folder (Path=) keeps it.
Result<void> launch(const Api& api, GAppInfo* app, GList* uris, const std::string& workingFolder)
{
    Error error(api.glib);
    gboolean ok = FALSE;
    if (api.gio.typeCheckInstanceIsA(reinterpret_cast<GTypeInstance*>(app), api.gio.desktopAppInfoGetType())) {
        auto* entry = reinterpret_cast<GDesktopAppInfo*>(app);
        GStr ownPath = api.str(api.gio.desktopAppInfoGetString(entry, "Path"));
        const bool useFolder = !workingFolder.empty() && !(ownPath && *ownPath);
        ok = api.gio.desktopAppInfoLaunchUrisAsManager(
            entry, uris, nullptr, G_SPAWN_SEARCH_PATH, useFolder ? enterFolder : nullptr,
            useFolder ? const_cast<char*>(workingFolder.c_str()) : nullptr, nullptr, nullptr,
            error.out());
    } else {
        ok = api.gio.appInfoLaunchUris(app, uris, nullptr, error.out());
    }
    return ok ? Result<void>{} : failure(error.text("the application could not be started"));
}

Result<void> launchWithUris(const Api& api, GAppInfo* app, const std::vector<std::string>& uris,
                            const std::string& workingFolder)
{
    GList* list = nullptr;
    for (auto it = uris.rbegin(); it != uris.rend(); ++it)
        list = api.glib.listPrepend(list, const_cast<char*>(it->c_str()));
    Result<void> result = launch(api, app, list, workingFolder);
    api.glib.listFree(list);
    return result;
}

std::string uriOfPath(const Api& api, const std::string& path)
{
    Ref<GFile> file = api.ref(api.gio.fileNewForPath(path.c_str()));
    GStr uri = api.str(api.gio.fileGetUri(file.get()));
    return uri ? std::string(uri.get()) : std::string();
}

// A Type=Link entry carries a URL instead of a program.
Result<void> openLinkEntry(const Api& api, const std::string& desktopFile)
{
    GKeyFile* keys = api.glib.keyFileNew();
    std::string url;
    if (api.glib.keyFileLoadFromFile(keys, desktopFile.c_str(), G_KEY_FILE_NONE, nullptr)) {
        GStr type = api.str(
            api.glib.keyFileGetString(keys, G_KEY_FILE_DESKTOP_GROUP, G_KEY_FILE_DESKTOP_KEY_TYPE, nullptr));
        GStr link = api.str(
            api.glib.keyFileGetString(keys, G_KEY_FILE_DESKTOP_GROUP, G_KEY_FILE_DESKTOP_KEY_URL, nullptr));
        if (type && link && std::string(type.get()) == G_KEY_FILE_DESKTOP_TYPE_LINK)
            url = link.get();
    }
    api.glib.keyFileFree(keys);
    if (url.empty())
        return failure("not a launchable desktop entry: " + desktopFile);
    return openUriWith(api, url);
}

// Why a file of this type cannot be opened, in the words a user knows the type by: "no
// application is set to open folders", "... to open files of the type "PDF document"
// (application/pdf)".
std::string noApplicationFor(const Api& api, const char* type)
{
    const std::string words = "no application is set to open ";
    if (std::string(type) == "inode/directory")
        return words + "folders";
    GStr description = api.str(api.gio.contentTypeGetDescription(type));
    if (!description || !*description || std::string(description.get()) == type)
        return words + "files of the type " + type;
    return words + "files of the type \"" + description.get() + "\" (" + type + ")";
}

Result<void> openWithDefaultHandlerWith(const Api& api, const std::string& path, const std::string& workingFolder)
{
    Ref<GFile> file = api.ref(api.gio.fileNewForPath(path.c_str()));
    Error error(api.glib);
    Ref<GFileInfo> info = api.ref(api.gio.fileQueryInfo(file.get(), G_FILE_ATTRIBUTE_STANDARD_CONTENT_TYPE,
                                                        G_FILE_QUERY_INFO_NONE, nullptr, error.out()));
    if (!info)
        return failure(error.text("cannot read " + path));
    const char* type = api.gio.fileInfoGetContentType(info.get());
    if (!type)
        return failure("the type of " + path + " is unknown");
    Ref<GAppInfo> app = api.ref(api.gio.appInfoGetDefaultForType(type, FALSE));
    if (!app)
        return failure(noApplicationFor(api, type));
    GStr uri = api.str(api.gio.fileGetUri(file.get()));
    if (!uri)
        return failure("cannot read " + path);
    return launchWithUris(api, app.get(), {uri.get()}, workingFolder);
}

Result<void> openUriWith(const Api& api, const std::string& uri)
{
    GStr scheme = api.str(api.glib.uriParseScheme(uri.c_str()));
    if (!scheme)
        return failure("not a link: " + uri);
    if (api.glib.asciiStrcasecmp(scheme.get(), "file") == 0) {
        GStr path = api.str(api.glib.filenameFromUri(uri.c_str(), nullptr, nullptr));
        if (!path)
            return failure("not a local file: " + uri);
        return openWithDefaultHandlerWith(api, path.get(), {});
    }
    Ref<GAppInfo> app = api.ref(api.gio.appInfoGetDefaultForUriScheme(scheme.get()));
    if (!app)
        return failure(std::string("no application is set to open ") + scheme.get() + ": links");
    return launchWithUris(api, app.get(), {uri}, {});
}

bool isAsciiAlpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isAsciiDigit(char c) { return c >= '0' && c <= '9'; }

} // namespace

bool looksLikeUri(const std::string& text)
{
    const std::size_t colon = text.find(':');
    if (colon == std::string::npos || colon < 2)
        return false;
    if (!isAsciiAlpha(text[0]))
        return false;
    for (std::size_t i = 1; i < colon; ++i) {
        const char c = text[i];
        if (!isAsciiAlpha(c) && !isAsciiDigit(c) && c != '+' && c != '-' && c != '.')
            return false;
    }
    return true;
}

// True when the file starts like something the kernel runs itself: an ELF binary or a
// "#!" script. GLib hands any other file that exec refuses to /bin/sh, which must never
// read what a user dropped or typed.
static bool startsLikeAProgram(const std::string& path)
{
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return false;
    unsigned char magic[4] = {};
    const std::size_t got = std::fread(magic, 1, sizeof magic, f);
    std::fclose(f);
    return (got >= 2 && magic[0] == '#' && magic[1] == '!')
        || (got == 4 && magic[0] == 0x7F && magic[1] == 'E' && magic[2] == 'L' && magic[3] == 'F');
}

Result<void> spawnDetached(const std::string& path, const std::vector<std::string>& args,
                           const std::string& workingFolder)
{
    if (path.find('\0') != std::string::npos || !startsLikeAProgram(path))
        return failure(path + " is neither a program nor a script, and is not run");
    std::string why;
    const GlibTable* glib = glibOrWhy(why);
    if (!glib)
        return failure(why);

    std::vector<char*> argv;
    argv.reserve(args.size() + 2);
    argv.push_back(const_cast<char*>(path.c_str()));
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    Error error(*glib);
    // No G_SPAWN_SEARCH_PATH: path is already the file to run. No DO_NOT_REAP_CHILD:
    // GLib's intermediate child makes the program an orphan of init.
    const gboolean ok = glib->spawnAsync(workingFolder.empty() ? nullptr : workingFolder.c_str(), argv.data(),
                                         nullptr, GSpawnFlags(0), nullptr, nullptr, nullptr, error.out());
    return ok ? Result<void>{} : failure(error.text("the program could not be started"));
}

Result<void> launchDesktopEntry(const std::string& desktopFile, const std::vector<std::string>& files,
                                const std::string& workingFolder)
{
    std::string why;
    const Both lib = gioOrWhy(why);
    if (!lib.gio)
        return failure(why);
    const Api api{*lib.glib, *lib.gio};
    Ref<GDesktopAppInfo> entry = api.ref(api.gio.desktopAppInfoNewFromFilename(desktopFile.c_str()));
    if (!entry)
        return files.empty() ? openLinkEntry(api, desktopFile)
                             : failure("not an application entry: " + desktopFile);
    // An entry whose Exec line takes %u or %U is given a URI as it is; any other gets
    // local files only, since it would be handed a path that names nothing.
    std::vector<std::string> uris;
    for (const std::string& f : files) {
        if (!looksLikeUri(f))
            uris.push_back(uriOfPath(api, f));
        else if (api.gio.appInfoSupportsUris(reinterpret_cast<GAppInfo*>(entry.get())))
            uris.push_back(f);
        else
            return failure("the program takes local files only, not " + f);
    }
    return launchWithUris(api, reinterpret_cast<GAppInfo*>(entry.get()), uris, workingFolder);
}

Result<void> openWithDefaultHandler(const std::string& path, const std::string& workingFolder)
{
    std::string why;
    const Both lib = gioOrWhy(why);
    if (!lib.gio)
        return failure(why);
    return openWithDefaultHandlerWith(Api{*lib.glib, *lib.gio}, path, workingFolder);
}

Result<void> openUri(const std::string& uri)
{
    std::string why;
    const Both lib = gioOrWhy(why);
    if (!lib.gio)
        return failure(why);
    return openUriWith(Api{*lib.glib, *lib.gio}, uri);
}

void useLibrariesForTesting(const std::string& glib, const std::string& gio)
{
    Libraries& libs = libraries();
    std::lock_guard lock(libs.mutex);
    libs.glibName = glib.empty() ? SystemGlib : glib;
    libs.gioName = gio.empty() ? SystemGio : gio;
    libs.glib = {};
    libs.gio = {};
}

} // namespace gio
