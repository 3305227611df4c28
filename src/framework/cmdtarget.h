// The root of every class that handles messages or commands.
#pragma once

#include "framework/msgmap.h"

class CCmdTarget {
  public:
    virtual ~CCmdTarget() = default;

  protected:
    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;
    // Finds the handler for a message in this class's map chain and calls it.
    BOOL DispatchFromMap(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
};
