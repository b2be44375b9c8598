// The "Other" page: the device utilities.
#pragma once

#include "platform/afx/afx.h"
#include "res/resource.h"

class COtherPage : public CDialog {
public:
    COtherPage();
    ~COtherPage() override = default;
};
