# Install step run after the files are laid out (see CMakeLists.txt here): strips the tool, signs it
# when a certificate is given in the environment, then writes SHA256SUMS over the whole layout, so
# that the checksums are those of the signed files.
set(root "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
set(exe "${root}/${CX_INSTALLED_EXE}")

execute_process(COMMAND "${CX_STRIP}" --strip-all "${exe}" RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "Stripping ${exe} failed")
endif()

if(DEFINED ENV{CX_SIGN_CERT} OR DEFINED ENV{CX_SIGN_PKCS12})
    execute_process(COMMAND "${CX_SIGN_SCRIPT}" "${exe}" RESULT_VARIABLE failed)
    if(failed)
        message(FATAL_ERROR "Signing ${exe} failed")
    endif()
else()
    message(STATUS "Not signed: no certificate given (CX_SIGN_CERT and CX_SIGN_KEY, or CX_SIGN_PKCS12)")
endif()

# Over the files this installation laid out (not whatever else the prefix holds), in the format of
# sha256sum: "<hash>  <path>", paths relative to the layout's root, sorted.
set(files "")
foreach(installed IN LISTS CMAKE_INSTALL_MANIFEST_FILES)
    file(RELATIVE_PATH relative "${CMAKE_INSTALL_PREFIX}" "${installed}")
    list(APPEND files "${relative}")
endforeach()
list(SORT files)
set(sums "")
foreach(file IN LISTS files)
    file(SHA256 "${root}/${file}" hash)
    string(APPEND sums "${hash}  ${file}\n")
endforeach()
file(WRITE "${root}/SHA256SUMS" "${sums}")
list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${CMAKE_INSTALL_PREFIX}/SHA256SUMS")
message(STATUS "Checksums: ${root}/SHA256SUMS")
