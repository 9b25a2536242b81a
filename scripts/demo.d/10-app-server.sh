# The main application's automation server.
say "Register and unregister the main application's server (/ni, /nu)"
tool /ni
journal Corvane.exe
tool /nu
journal Corvane.exe
say "An unknown switch does nothing (-2)"
tool /zz
