#include "main/presentation/presentation_export.h"

#include <windows.h>

#include <algorithm>
#include <deque>
#include <initializer_list>
#include <vector>

#include "common/win/ansi.h"
#include "common/win/files.h"
#include "common/win/program.h"
#include "common/win/raii.h"
#include "common/win/trace.h"
#include "main/presentation/export_rules.h"
#include "main/presentation/office_version.h"
#include "main/presentation/presentation_dialog.h"
#include "main/run/result_file.h"
#include "main/run/run_state.h"

namespace tav {

std::string ExportTarget;
std::int32_t ExportWidth = 0;
std::int32_t ExportHeight = 0;
std::string ExportFormat;
std::string PresentationFile;

namespace {

constexpr WORD kGet = DISPATCH_METHOD | DISPATCH_PROPERTYGET;  // a value is wanted back
constexpr WORD kCall = DISPATCH_METHOD;                         // a call as a statement

// The arguments of one call, in the order of the member's parameter list.
class Arguments {
public:
    Arguments& Text(const std::string& text) {
        VARIANT* v = Add();
        v->vt = VT_BSTR;
        const std::wstring wide = WidenAnsi(text);
        v->bstrVal = ::SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
        return *this;
    }
    Arguments& Long(std::int32_t n) {
        VARIANT* v = Add();
        v->vt = VT_I4;
        v->lVal = n;
        return *this;
    }
    Arguments& Short(std::int16_t n) {
        VARIANT* v = Add();
        v->vt = VT_I2;
        v->iVal = n;
        return *this;
    }
    // Copies that share the owners' contents, last argument first, as
    // IDispatch::Invoke takes them.
    std::vector<VARIANT> Reversed() const {
        std::vector<VARIANT> values;
        for (auto it = items_.rbegin(); it != items_.rend(); ++it) values.push_back(*it->get());
        return values;
    }

private:
    VARIANT* Add() { return items_.emplace_back().get(); }
    std::deque<UniqueVariant> items_;
};

// The texts an automation server may hand back with a failing call.
struct ExceptionInfo {
    EXCEPINFO info{};
    ExceptionInfo() = default;
    ExceptionInfo(const ExceptionInfo&) = delete;
    ExceptionInfo& operator=(const ExceptionInfo&) = delete;
    ~ExceptionInfo() {
        ::SysFreeString(info.bstrSource);
        ::SysFreeString(info.bstrDescription);
        ::SysFreeString(info.bstrHelpFile);
    }
};

HRESULT CallById(IDispatch* object, DISPID member, WORD flags, const Arguments& args,
                 std::vector<DISPID> namedIds, UniqueVariant* result) {
    if (!object) return E_POINTER;
    std::vector<VARIANT> values = args.Reversed();
    std::reverse(namedIds.begin(), namedIds.end());  // stays parallel to the values
    DISPPARAMS params{values.data(), namedIds.empty() ? nullptr : namedIds.data(),
                      static_cast<UINT>(values.size()), static_cast<UINT>(namedIds.size())};
    ExceptionInfo exception;
    UINT badArgument = 0;
    UniqueVariant ignored;
    return object->Invoke(member, IID_NULL, LOCALE_USER_DEFAULT, flags, &params,
                          result ? result->get() : ignored.get(), &exception.info, &badArgument);
}

// Looks the member up by its name and calls it. With `argumentNames` every
// argument is passed as a named argument (the names in the order of `args`).
HRESULT Call(IDispatch* object, const wchar_t* member, WORD flags, const Arguments& args,
             UniqueVariant* result = nullptr,
             std::initializer_list<const wchar_t*> argumentNames = {}) {
    if (!object) return E_POINTER;
    std::vector<LPOLESTR> names{const_cast<LPOLESTR>(member)};
    for (const wchar_t* name : argumentNames) names.push_back(const_cast<LPOLESTR>(name));
    std::vector<DISPID> ids(names.size(), DISPID_UNKNOWN);
    const HRESULT hr = object->GetIDsOfNames(IID_NULL, names.data(), static_cast<UINT>(names.size()),
                                             LOCALE_USER_DEFAULT, ids.data());
    if (FAILED(hr)) return hr;
    return CallById(object, ids[0], flags, args, std::vector<DISPID>(ids.begin() + 1, ids.end()),
                    result);
}

// The object a call handed back, or nothing.
ComPtr<IDispatch> ObjectOf(UniqueVariant& value) {
    ComPtr<IDispatch> object;
    if ((value->vt == VT_DISPATCH || value->vt == VT_UNKNOWN) && value->punkVal)
        value->punkVal->QueryInterface(IID_IDispatch, object.put_void());
    return object;
}

ComPtr<IDispatch> GetObjectMember(IDispatch* object, const wchar_t* member) {
    UniqueVariant value;
    if (FAILED(Call(object, member, kGet, Arguments(), &value))) return {};
    return ObjectOf(value);
}

ComPtr<IDispatch> OpenPresentation(IDispatch* application) {
    const ComPtr<IDispatch> presentations = GetObjectMember(application, L"presentations");
    UniqueVariant opened;
    Arguments args;
    args.Text(PresentationFile).Short(0);
    if (FAILED(Call(presentations.get(), L"Open", kGet, args, &opened,
                    {L"FileName", L"withwindow"})))
        return {};
    return ObjectOf(opened);
}

// The oldest supported version exports one slide at a time into the folder
// ExportTarget (created first): Folie001.png, Folie002.png, ... A slide whose
// export fails is skipped. True when there were slides and every one was
// exported; a folder that cannot be created means nothing is exported.
bool ExportSlideBySlide(IDispatch* presentation) {
    ExportTarget = WithTrailingBackslash(ExportTarget);
    if (!MakeFolderWithParents(ExportTarget)) return false;
    if (ExportFormat != "png") return false;  // this version offers no HTML export here

    const ComPtr<IDispatch> slides = GetObjectMember(presentation, L"Slides");
    UniqueVariant count;
    if (FAILED(Call(slides.get(), L"Count", kGet, Arguments(), &count)) ||
        FAILED(::VariantChangeType(count.get(), count.get(), 0, VT_I4)))
        return false;

    bool everySlide = count->lVal > 0;  // no slide: nothing was exported
    for (LONG i = 1; i <= count->lVal; ++i) {
        // The collection's default member gives the slide with that one-based index.
        UniqueVariant slideValue;
        Arguments index;
        index.Long(i);
        ComPtr<IDispatch> slide;
        if (SUCCEEDED(CallById(slides.get(), DISPID_VALUE, kGet, index, {}, &slideValue)))
            slide = ObjectOf(slideValue);

        Arguments args;
        args.Text(SlideFileName(ExportTarget, i, ExportFormat))
            .Text(ExportFormat)
            .Long(ExportWidth)
            .Long(ExportHeight);
        if (!slide || FAILED(Call(slide.get(), L"Export", kCall, args))) everySlide = false;
    }
    return everySlide;
}

bool ExportOpenPresentation(IDispatch* presentation, const std::string& version) {
    switch (RouteForVersion(version)) {
        case ExportRoute::WholePresentation:
            if (ExportFormat == "png") {
                Arguments args;
                args.Text(ExportTarget).Text(ExportFormat).Long(ExportWidth).Long(ExportHeight);
                return SUCCEEDED(Call(presentation, L"Export", kCall, args));
            }
            if (ExportFormat == "html") {
                Arguments args;
                args.Text(ExportTarget).Short(12);  // 12: the HTML file format
                return SUCCEEDED(Call(presentation, L"SaveAs", kCall, args));
            }
            return false;
        case ExportRoute::SlideBySlide:
            return ExportSlideBySlide(presentation);
        case ExportRoute::None:
            break;
    }
    return false;
}

// Reaches the presentation program (a running instance first), opens
// PresentationFile without a window, exports it, closes it and ends the
// program again when it was started here. True when the export succeeded.
bool ExportThroughPresentationProgram() {
    ComApartment apartment;
    if (!apartment.ok()) return false;
    CLSID clsid{};
    if (const HRESULT hr = ::CLSIDFromProgID(L"PowerPoint.Application", &clsid); FAILED(hr)) { TraceFailedCall("CLSIDFromProgID", static_cast<unsigned long>(hr), "\"PowerPoint.Application\", the presentation program"); return false; }

    ComPtr<IDispatch> application;
    bool wasRunning = false;
    {
        ComPtr<IUnknown> running;
        if (SUCCEEDED(::GetActiveObject(clsid, nullptr, running.put())) && running) {
            application = running.query<IDispatch>(IID_IDispatch);
            wasRunning = static_cast<bool>(application);
        }
    }
    if (!application)
        ::CoCreateInstance(clsid, nullptr, CLSCTX_SERVER, IID_IDispatch, application.put_void());
    PumpPendingMessages();
    if (!application) { Trace("the presentation program could not be started"); return false; }

    bool exported = false;
    const ComPtr<IDispatch> presentation = OpenPresentation(application.get());
    if (presentation) {
        exported = ExportOpenPresentation(presentation.get(), GetPowerPointVersion());
        Call(presentation.get(), L"Close", kCall, Arguments());
    }
    // An instance that the user already had open stays open.
    if (!wasRunning) Call(application.get(), L"Quit", kCall, Arguments());
    // Leaving releases the presentation, then the application, then the apartment.
    return exported;
}

}  // namespace

void RunPresentationCommand() {
    const auto target = Arg(1);
    const auto width = Arg(2);
    const auto height = Arg(3);
    const auto format = Arg(4);
    if (!target || !width || !height || !format) return;
    const auto widthValue = ParseWholeNumber(*width);
    const auto heightValue = ParseWholeNumber(*height);
    if (!widthValue || !heightValue) { Trace("p: width " + Quoted(*width) + " or height " + Quoted(*height) + " is no whole number: no export"); return; }

    ExportTarget = *target;
    ExportWidth = *widthValue;
    ExportHeight = *heightValue;
    ExportFormat = *format;

    ChoosePresentation();
    ExportPresentation();
}

void ExportPresentation() {
    const bool exported = ExportThroughPresentationProgram();
    WritePowerpointResult(exported ? "0" : "1");
    ResultHandOver();
    EndProgram();
}

}  // namespace tav
