// ImportPatch: while it lives, calls that the test program makes to one imported system function go to
// a stand-in instead (the program's own import table is rewritten), so that a test can make a call
// fail the way an older Windows fails it.
#pragma once

#include <windows.h>

#include <cstring>

namespace e2e {

class ImportPatch {
public:
    ImportPatch(const char* dll, const char* function, const void* standIn)
    {
        auto* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
        auto* headers = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
        const IMAGE_DATA_DIRECTORY& imports = headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        auto* table = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
        for (; table->Name != 0 && slot_ == nullptr; ++table) {
            if (_stricmp(reinterpret_cast<char*>(base + table->Name), dll) != 0) continue;
            auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + table->OriginalFirstThunk);
            auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + table->FirstThunk);
            for (; names->u1.AddressOfData != 0; ++names, ++slots) {
                if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
                auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
                if (strcmp(reinterpret_cast<char*>(byName->Name), function) == 0) {
                    slot_ = reinterpret_cast<ULONG_PTR*>(&slots->u1.Function);
                    break;
                }
            }
        }
        if (slot_ != nullptr) original_ = Write(reinterpret_cast<ULONG_PTR>(standIn));
    }
    ~ImportPatch()
    {
        if (slot_ != nullptr) Write(original_);
    }
    ImportPatch(const ImportPatch&) = delete;
    ImportPatch& operator=(const ImportPatch&) = delete;

    bool Active() const { return slot_ != nullptr; }

private:
    ULONG_PTR Write(ULONG_PTR value)
    {
        DWORD was;
        VirtualProtect(slot_, sizeof *slot_, PAGE_READWRITE, &was);
        ULONG_PTR old = *slot_;
        *slot_ = value;
        VirtualProtect(slot_, sizeof *slot_, was, &was);
        return old;
    }

    ULONG_PTR* slot_ = nullptr;
    ULONG_PTR original_ = 0;
};

}  // namespace e2e
