// Owners for the OLE automation resources the spreadsheet driver uses: a
// VARIANT, the thread's OLE initialisation, and the late-bound call itself
// (name lookup, then invoke) with its failure turned into AutomationError.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <string>

namespace ionsift {

// Converts single-byte text in the ANSI code page and back.
std::wstring AnsiToWide(const char* text);
std::string WideToAnsi(const wchar_t* text);

// A VARIANT that clears itself: releases the object or frees the string.
class ScopedVariant {
public:
    ScopedVariant() { VariantInit(&value_); }
    ~ScopedVariant() { VariantClear(&value_); }
    ScopedVariant(ScopedVariant&& other) noexcept;
    ScopedVariant& operator=(ScopedVariant&& other) noexcept;
    ScopedVariant(const ScopedVariant&) = delete;
    ScopedVariant& operator=(const ScopedVariant&) = delete;

    static ScopedVariant Int(long value);
    static ScopedVariant Boolean(bool value);
    // An automation string; throws AutomationError when it cannot be made.
    static ScopedVariant Text(const char* text);
    // Takes over an object reference the caller owns.
    static ScopedVariant Adopt(IDispatch* object);

    const VARIANT& Get() const { return value_; }
    VARIANT* Out() { Clear(); return &value_; }
    bool Empty() const { return value_.vt == VT_EMPTY; }
    void Clear() { VariantClear(&value_); }

private:
    VARIANT value_;
};

// OleInitialize for the scope, balanced by OleUninitialize whenever it
// succeeded: S_OK, and also S_FALSE (already initialised on this thread),
// which still counts one more initialisation.
class OleSession {
public:
    OleSession() : result_(OleInitialize(nullptr)) {}
    ~OleSession() { if (SUCCEEDED(result_)) OleUninitialize(); }
    OleSession(const OleSession&) = delete;
    OleSession& operator=(const OleSession&) = delete;

    bool Ready() const { return SUCCEEDED(result_); }
    HRESULT Result() const { return result_; }

private:
    HRESULT result_;
};

enum class CallKind : WORD {
    Method = DISPATCH_METHOD,
    Get = DISPATCH_PROPERTYGET,
    Put = DISPATCH_PROPERTYPUT,
};

// Looks `member` up on the object that `object` holds and invokes it with the
// system default locale. Arguments are given left to right; a put takes its
// one value as the only argument. Returns the result (empty for a put);
// throws AutomationError naming "<objectName>.<member>".
ScopedVariant Automate(const ScopedVariant& object, const char* objectName, const wchar_t* member,
                       CallKind kind, std::initializer_list<const VARIANT*> arguments = {});

}  // namespace ionsift
