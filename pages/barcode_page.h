// The "Barcode" page: the barcode scanner on COM2.
#pragma once

#include "platform/afx/afx.h"
#include "res/resource.h"

class CBarcodePage : public CDialog {
public:
    CBarcodePage();
    ~CBarcodePage() override = default;
};
