// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// A stand-in program: an empty 800 x 600 form placed like the real one.
// Built as `velmia` until the real program exists.
#include "platform/qt/Placement.h"
#include "platform/qt/QtHost.h"
#include "toolkit/Controls.h"

int main(int argc, char** argv)
{
    return velmia::qt::RunApplication(argc, argv, [] {
        auto* form = new vcl::TForm();
        form->OnCreate = [form](vcl::TObject*) {
            velmia::qt::ApplyPlacement(*form,
                                       velmia::qt::PlaceMainWindow(vcl::Screen->GetWidth(), vcl::Screen->GetHeight()));
            form->SetVisible(true);
        };
        form->OnKeyPress = [form](vcl::TObject*, char& key) {
            if (key == 27)
                form->Close();
        };
        return form;
    });
}
