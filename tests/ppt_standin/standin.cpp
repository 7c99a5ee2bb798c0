// A stand-in for the presentation program's automation server, for tests
// only: an in-process server that answers the members the export calls
// through IDispatch, records every call in a log, writes small files where the
// real program would and fails on request (see standin.h).
#include "tests/ppt_standin/standin.h"

#include <windows.h>
#include <oleauto.h>

#include <algorithm>
#include <cwctype>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "common/win/raii.h"

namespace standin {
namespace {

// --- texts, files and the control file ------------------------------------------

std::string Narrow(const std::wstring& wide) {
    if (wide.empty()) return {};
    const int n = ::WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()),
                                        nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(n), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), text.data(), n,
                          nullptr, nullptr);
    return text;
}

std::wstring Lower(std::wstring s) {
    for (auto& c : s) c = static_cast<wchar_t>(std::towlower(c));
    return s;
}

bool WriteSmallFile(const std::wstring& path, const std::string& bytes) {
    const tav::UniqueFile file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                             FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD written = 0;
    return ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                       nullptr) &&
           written == bytes.size();
}

void AppendLog(const std::string& line) {
    ::CreateDirectoryA(kFolder, nullptr);
    const tav::UniqueFile file(::CreateFileA(kLogFile, FILE_APPEND_DATA,
                                             FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                             OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return;
    const std::string bytes = line + "\r\n";
    DWORD written = 0;
    ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

std::string Control(const char* key, const char* fallback = "") {
    char value[512] = {};
    ::GetPrivateProfileStringA("standin", key, fallback, value, sizeof value, kControlFile);
    return value;
}

long ControlNumber(const char* key, long fallback) {
    return static_cast<long>(::GetPrivateProfileIntA("standin", key, fallback, kControlFile));
}

bool TestWantsFailure(const std::string& objectAndMember) {
    const std::string list = " " + Control("Fail") + " ";
    return list.find(" " + objectAndMember + " ") != std::string::npos;
}

void MakeFolders(const std::wstring& path) {
    for (std::size_t i = 3; i <= path.size(); ++i)
        if (i == path.size() || path[i] == L'\\') ::CreateDirectoryW(path.substr(0, i).c_str(), nullptr);
}

// The value as text, when it can be read as one.
std::optional<std::wstring> AsText(const VARIANT& v) {
    tav::UniqueVariant text;
    if (FAILED(::VariantChangeType(text.get(), const_cast<VARIANT*>(&v), 0, VT_BSTR))) return std::nullopt;
    return std::wstring(text->bstrVal, ::SysStringLen(text->bstrVal));
}

std::optional<long> AsNumber(const VARIANT& v) {
    tav::UniqueVariant n;
    if (FAILED(::VariantChangeType(n.get(), const_cast<VARIANT*>(&v), 0, VT_I4))) return std::nullopt;
    return n->lVal;
}

std::string Describe(const VARIANT& v) {
    const std::string value = Narrow(AsText(v).value_or(L""));
    switch (v.vt) {
        case VT_BSTR: return "BSTR:" + value;
        case VT_I2: return "I2:" + value;
        case VT_I4: return "I4:" + value;
        case VT_BOOL: return "BOOL:" + value;
        default: return "VT" + std::to_string(v.vt) + ":" + value;
    }
}

// --- the dispatch base ------------------------------------------------------------

struct Member {
    const wchar_t* name;
    DISPID id;
    std::vector<const wchar_t*> parameters;
};

// The arguments of one call, by parameter position.
class CallArguments {
public:
    CallArguments(const DISPPARAMS* params, const std::vector<std::wstring>& parameterNames) {
        if (!params) return;
        const UINT named = params->cNamedArgs;
        for (UINT i = named; i < params->cArgs; ++i)  // positional, reversed
            byIndex_[static_cast<int>(params->cArgs - 1 - i)] = {&params->rgvarg[i], L""};
        for (UINT i = 0; i < named; ++i) {
            const int index = params->rgdispidNamedArgs[i];
            const std::wstring name = index >= 0 && index < static_cast<int>(parameterNames.size())
                                          ? parameterNames[index]
                                          : L"?" + std::to_wstring(index);
            byIndex_[index] = {&params->rgvarg[i], name};
        }
    }
    const VARIANT* At(int index) const {
        const auto it = byIndex_.find(index);
        return it == byIndex_.end() ? nullptr : it->second.value;
    }
    std::optional<std::wstring> Text(int index) const {
        const VARIANT* v = At(index);
        return v ? AsText(*v) : std::nullopt;
    }
    std::optional<long> Number(int index) const {
        const VARIANT* v = At(index);
        return v ? AsNumber(*v) : std::nullopt;
    }
    // Positional ones first (in order), then the named ones by position.
    std::string Describe() const {
        std::string line;
        for (const auto& [index, arg] : byIndex_)
            if (arg.name.empty()) line += "\t" + standin::Describe(*arg.value);
        for (const auto& [index, arg] : byIndex_)
            if (!arg.name.empty()) line += "\t" + Narrow(arg.name) + "=" + standin::Describe(*arg.value);
        return line;
    }

private:
    struct Arg {
        const VARIANT* value;
        std::wstring name;  // empty: positional
    };
    std::map<int, Arg> byIndex_;
};

HRESULT Failure(EXCEPINFO* exception, const std::wstring& text) {
    if (!exception) return E_FAIL;
    *exception = EXCEPINFO{};
    exception->bstrSource = ::SysAllocString(L"PowerPoint stand-in");
    exception->bstrDescription = ::SysAllocString(text.c_str());
    exception->scode = E_FAIL;
    return DISP_E_EXCEPTION;
}

void ReturnObject(VARIANT* result, IDispatch* object) {
    if (!result) {
        object->Release();
        return;
    }
    result->vt = VT_DISPATCH;
    result->pdispVal = object;  // the new object's first reference goes to the caller
}

class Object : public IDispatch {
public:
    Object(const char* type, std::vector<Member> members)
        : type_(type), members_(std::move(members)) {}
    virtual ~Object() = default;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IDispatch) {
            *out = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(::InterlockedIncrement(&refs_)); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG n = ::InterlockedDecrement(&refs_);
        if (n == 0) delete this;
        return static_cast<ULONG>(n);
    }

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (!count) return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
        if (info) *info = nullptr;
        return E_NOTIMPL;
    }

    // Names are found without regard to case, as automation servers do; the
    // spelling the caller used is kept for the log.
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                            DISPID* ids) override {
        if (!names || !ids || count == 0) return E_INVALIDARG;
        const Member* member = Find(names[0]);
        HRESULT hr = S_OK;
        ids[0] = member ? member->id : DISPID_UNKNOWN;
        if (!member) {
            AppendLog(std::string(type_) + ".<unknown member>\t" + Narrow(names[0]));
            hr = DISP_E_UNKNOWNNAME;
        } else {
            spelled_[member->id] = names[0];
        }
        for (UINT i = 1; i < count; ++i) {
            ids[i] = DISPID_UNKNOWN;
            if (!member) continue;
            for (std::size_t p = 0; p < member->parameters.size(); ++p) {
                if (Lower(member->parameters[p]) == Lower(names[i])) {
                    ids[i] = static_cast<DISPID>(p);
                    parameterSpelled_[{member->id, static_cast<DISPID>(p)}] = names[i];
                }
            }
            if (ids[i] == DISPID_UNKNOWN) {
                AppendLog(std::string(type_) + ".<unknown argument>\t" + Narrow(names[i]));
                hr = DISP_E_UNKNOWNNAME;
            }
        }
        return hr;
    }

    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* exception, UINT*) override {
        const Member* member = nullptr;
        for (const auto& m : members_)
            if (m.id == id) member = &m;
        if (!member) return DISP_E_MEMBERNOTFOUND;

        std::vector<std::wstring> parameterNames;
        for (std::size_t p = 0; p < member->parameters.size(); ++p) {
            const auto it = parameterSpelled_.find({id, static_cast<DISPID>(p)});
            parameterNames.push_back(it != parameterSpelled_.end() ? it->second
                                                                  : member->parameters[p]);
        }
        const CallArguments args(params, parameterNames);
        const auto spelled = spelled_.find(id);
        const std::wstring name = spelled != spelled_.end() ? spelled->second : member->name;
        AppendLog(std::string(type_) + "." + Narrow(name) + args.Describe());

        if (result) ::VariantInit(result);
        if (TestWantsFailure(std::string(type_) + "." + Narrow(member->name)))
            return Failure(exception, L"failed on request");
        return Run(id, args, result, exception);
    }

protected:
    virtual HRESULT Run(DISPID id, const CallArguments& args, VARIANT* result,
                        EXCEPINFO* exception) = 0;

private:
    const Member* Find(const wchar_t* name) const {
        for (const auto& m : members_)
            if (Lower(m.name) == Lower(name)) return &m;
        return nullptr;
    }

    LONG refs_ = 1;
    const char* type_;
    std::vector<Member> members_;
    std::map<DISPID, std::wstring> spelled_;
    std::map<std::pair<DISPID, DISPID>, std::wstring> parameterSpelled_;
};

// --- the object model -------------------------------------------------------------

long SlideCount() { return ControlNumber("Slides", 3); }

class Slide : public Object {
public:
    explicit Slide(long index) : Object("Slide", {{L"Export", 1, {L"FileName", L"FilterName", L"ScaleWidth", L"ScaleHeight"}}}), index_(index) {}

private:
    HRESULT Run(DISPID, const CallArguments& args, VARIANT*, EXCEPINFO* exception) override {
        const auto file = args.Text(0);
        const auto filter = args.Text(1);
        if (!file || !filter) return DISP_E_PARAMNOTOPTIONAL;
        if (ControlNumber("FailSlide", 0) == index_) return Failure(exception, L"slide failed");
        const std::string picture = "stand-in slide " + std::to_string(index_) + " " +
                                    std::to_string(args.Number(2).value_or(0)) + "x" +
                                    std::to_string(args.Number(3).value_or(0)) + "\r\n";
        if (!WriteSmallFile(*file, picture)) return Failure(exception, L"cannot write " + *file);
        return S_OK;
    }
    long index_;
};

class Slides : public Object {
public:
    Slides() : Object("Slides", {{L"Count", 1, {}}, {L"Item", DISPID_VALUE, {L"Index"}}}) {}

private:
    HRESULT Run(DISPID id, const CallArguments& args, VARIANT* result, EXCEPINFO*) override {
        const long count = SlideCount();
        if (id == 1) {
            if (result) {
                result->vt = VT_I4;
                result->lVal = count;
            }
            return S_OK;
        }
        const auto index = args.Number(0);
        if (!index || *index < 1 || *index > count) return DISP_E_BADINDEX;
        ReturnObject(result, new Slide(*index));
        return S_OK;
    }
};

class Presentation : public Object {
public:
    Presentation()
        : Object("Presentation",
                 {{L"Slides", 1, {}},
                  {L"Export", 2, {L"Path", L"FilterName", L"ScaleWidth", L"ScaleHeight"}},
                  {L"SaveAs", 3, {L"FileName", L"FileFormat", L"EmbedTrueTypeFonts"}},
                  {L"Close", 4, {}}}) {}

private:
    HRESULT Run(DISPID id, const CallArguments& args, VARIANT* result, EXCEPINFO* exception) override {
        switch (id) {
            case 1: ReturnObject(result, new Slides); return S_OK;
            case 2: {  // every slide as one picture in the folder
                const auto path = args.Text(0);
                const auto filter = args.Text(1);
                if (!path || !filter) return DISP_E_PARAMNOTOPTIONAL;
                std::wstring folder = *path;
                if (!folder.empty() && folder.back() == L'\\') folder.pop_back();
                MakeFolders(folder);
                for (long i = 1; i <= SlideCount(); ++i) {
                    const std::wstring file = folder + L"\\Folie" + std::to_wstring(i) + L"." + *filter;
                    if (!WriteSmallFile(file, "stand-in slide " + std::to_string(i) + "\r\n"))
                        return Failure(exception, L"cannot write " + file);
                }
                return S_OK;
            }
            case 3: {
                const auto file = args.Text(0);
                if (!file) return DISP_E_PARAMNOTOPTIONAL;
                const long format = args.Number(1).value_or(1);
                const std::string contents =
                    format == 12 ? "<html><body>stand-in presentation</body></html>\r\n"
                                 : "stand-in presentation, format " + std::to_string(format) + "\r\n";
                if (!WriteSmallFile(*file, contents)) return Failure(exception, L"cannot write " + *file);
                return S_OK;
            }
            default: return S_OK;  // Close
        }
    }
};

class Presentations : public Object {
public:
    Presentations()
        : Object("Presentations",
                 {{L"Open", 1, {L"FileName", L"ReadOnly", L"Untitled", L"WithWindow"}}}) {}

private:
    HRESULT Run(DISPID, const CallArguments& args, VARIANT* result, EXCEPINFO* exception) override {
        const auto file = args.Text(0);
        if (!file) return DISP_E_PARAMNOTOPTIONAL;
        if (ControlNumber("RefuseOpen", 0) != 0) return Failure(exception, L"refused to open");
        if (::GetFileAttributesW(file->c_str()) == INVALID_FILE_ATTRIBUTES)
            return Failure(exception, L"no such file: " + *file);
        ReturnObject(result, new Presentation);
        return S_OK;
    }
};

class Application : public Object {
public:
    Application() : Object("Application", {{L"Presentations", 1, {}}, {L"Quit", 2, {}}}) {
        AppendLog("Application.New\t" + std::to_string(::GetCurrentProcessId()));
    }

private:
    HRESULT Run(DISPID id, const CallArguments&, VARIANT* result, EXCEPINFO*) override {
        if (id == 1) ReturnObject(result, new Presentations);
        return S_OK;  // Quit: the object stays until its last reference goes
    }
};

class Factory : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IClassFactory) {
            *out = static_cast<IClassFactory*>(this);
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }  // static object
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        Application* app = new Application;
        const HRESULT hr = app->QueryInterface(iid, out);
        app->Release();
        return hr;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

Factory g_factory;

}  // namespace
}  // namespace standin

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (clsid != standin::kClassId) return CLASS_E_CLASSNOTAVAILABLE;
    return standin::g_factory.QueryInterface(iid, out);
}

// Stays loaded: the tests' processes are short.
extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() { return S_FALSE; }
