#pragma once
// Action tables: named commands that menus, toolbars and shortcuts invoke.
#include <windows.h>
#include "coreexp.h"
#include "maxheap.h"
#include "strclass.h"

typedef DWORD ActionTableId;
typedef DWORD ActionContextId;

struct ActionDescription {
    int mCmdID;
    int mDescriptionResourceID;
    int mShortNameResourceID;
    int mCategoryResourceID;
};

class ActionTable;

class ActionItem : public MaxHeapOperators {
public:
    virtual ~ActionItem() {}
    virtual int GetId() = 0;
    virtual void GetButtonText(MSTR& buttonText) = 0;
    virtual void GetMenuText(MSTR& menuText) = 0;
    virtual void GetDescriptionText(MSTR& descText) = 0;
    virtual void GetCategoryText(MSTR& catText) = 0;
    virtual ActionTable* GetTable() = 0;
};

class ActionCallback : public MaxHeapOperators {
public:
    virtual ~ActionCallback() {}
    virtual BOOL ExecuteAction(int id) { return FALSE; }
};

class ActionTable : public MaxHeapOperators {
public:
    CoreExport ActionTable(ActionTableId id, ActionContextId contextId, MSTR& name,
                           HACCEL hDefaults, int numIds, ActionDescription* pOps, HINSTANCE hInst);
    CoreExport virtual ~ActionTable();
    CoreExport virtual BOOL GetMenuText(int cmdId, MSTR& text);
    CoreExport virtual BOOL GetButtonText(int cmdId, MSTR& buttonText);
    CoreExport virtual BOOL GetDescriptionText(int cmdId, MSTR& descText);
    CoreExport virtual BOOL IsEnabled(int cmdId);
    CoreExport virtual BOOL IsChecked(int cmdId);
    CoreExport virtual BOOL IsItemVisible(int cmdId);
    CoreExport ActionItem* GetAction(int cmdId);
    CoreExport int Count();
    CoreExport ActionItem* operator[](int index);
    CoreExport ActionTableId GetId();
    CoreExport ActionContextId GetContextId();
    CoreExport MSTR& GetName();
    CoreExport ActionCallback* GetCallback();
    CoreExport void SetCallback(ActionCallback* callback);
    CoreExport HACCEL GetHAccel();
private:
    ActionTable(const ActionTable&) = delete;
    ActionTable& operator=(const ActionTable&) = delete;
    struct Data;
    Data* data;
};

class IActionManager : public MaxHeapOperators {
public:
    virtual ~IActionManager() {}
    virtual BOOL RegisterActionContext(ActionContextId contextId, const MCHAR* pName) = 0;
    virtual void RegisterActionTable(ActionTable* pTable) = 0;
    virtual int ActivateActionTable(ActionCallback* pCallback, ActionTableId id) = 0;
    virtual BOOL DeactivateActionTable(ActionCallback* pCallback, ActionTableId id) = 0;
    virtual ActionTable* FindTable(ActionTableId id) = 0;
    virtual int NumActionTables() = 0;
    virtual ActionTable* GetTable(int index) = 0;
    virtual BOOL ExecuteAction(ActionTableId tableId, int cmdId) = 0;
};
