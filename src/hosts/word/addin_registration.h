// Registering the add-in library that the installed Word can load, and every shipped build of it
// that Windows can run, so that a later change of Office's bitness keeps finding the add-in.
#pragma once

namespace cx {

// "wi": the library of Word's bitness (the 32-bit one when that is unknown) must be shipped; without
// it nothing is registered and an Exception says which library this Word needs and where. It is
// registered first (32-bit: loaded into the tool, RegisterAddinLibrary; 64-bit: the 64-bit regsvr32,
// whose non-zero exit code raises an Exception naming the library and the code), then the other
// shipped build, best effort: its failure is only logged. Last, Word's own registry view must lead
// from the add-in's ProgID through its class to the matching file, or an Exception says so.
void RegisterAddinForWord();

// "wu": every shipped build is unregistered in its own bitness, each attempted whatever the others
// did; then the first failure is raised, or, when the build of Word's bitness was not shipped, the
// same Exception as RegisterAddinForWord. The ProgID that both builds share is kept (written back)
// while a build's class registration that names an existing file remains in either view.
void UnregisterAddinLibraries();

}  // namespace cx
