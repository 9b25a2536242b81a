// How Word loads its COM add-ins, as Microsoft documents it: an add-in registered under
// "Software\Microsoft\Office\Word\Addins\<ProgID>" (HKEY_CURRENT_USER, then HKEY_LOCAL_MACHINE in Word's
// own registry view; the user's LoadBehavior, where there is one, overrides the machine's) with
// LoadBehavior 3 is loaded when Word starts; setting its COMAddIn.Connect to
// True loads it later. Loading resolves the ProgID to its class (CLSIDFromProgID), creates the class
// in-process (CoCreateInstance with CLSCTX_INPROC_SERVER, so in Word's own registry view and bitness),
// and calls IDTExtensibility2::OnConnection. An add-in that fails to load gets LoadBehavior 2 ("not
// loaded") and stays disconnected. Unloading calls OnDisconnection and releases the object.
#pragma once

#include "word/word_model.h"

namespace standin::word {

// Loads `addIn` and connects it; on failure writes LoadBehavior 2 into its key and returns the failing
// HRESULT (of the lookup, the creation or OnConnection). `addInInst` is its COMAddIn object, if any.
HRESULT ConnectAddIn(WordModel& model, AddIn& addIn, IDispatch* addInInst, ExtConnectMode mode);
// Disconnects `addIn`, telling a loaded one with OnDisconnection(`mode`) first.
void DisconnectAddIn(AddIn& addIn, ExtDisconnectMode mode);

// At start-up, once: loads every add-in whose key says LoadBehavior 3 (ext_cm_Startup), listing those
// the scenario does not.
void LoadStartupAddIns(WordModel& model);
// At shut-down: OnBeginShutdown and OnDisconnection(ext_dm_HostShutdown) for every loaded add-in.
// Runs before COM is uninitialised, which frees the add-ins' libraries.
void UnloadAddIns(WordModel& model);

}  // namespace standin::word
