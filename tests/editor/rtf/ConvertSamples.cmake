# Converts the sample documents in SAMPLES to RTF in OUT with LibreOffice.
# cmake -DSAMPLES=<folder> -DOUT=<folder> -P ConvertSamples.cmake
find_program(SOFFICE NAMES soffice libreoffice)
if(NOT SOFFICE)
  message(FATAL_ERROR "soffice not found: install libreoffice-writer-nogui")
endif()

file(REMOVE_RECURSE ${OUT})
file(MAKE_DIRECTORY ${OUT})
# A profile of its own, so that the converter runs as root, with no home
# folder, and beside a LibreOffice the developer has open.
set(profile -env:UserInstallation=file://${OUT}/profile)

# Files named before --convert-to would be opened for editing instead, and a
# headless office then never ends: the files come last.
function(convert)
  execute_process(COMMAND ${SOFFICE} ${profile} --headless --norestore
                          --convert-to rtf --outdir ${OUT} ${ARGN}
                  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output
                  INPUT_FILE /dev/null TIMEOUT 240)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "soffice failed (${result}): ${output}")
  endif()
endfunction()

file(GLOB documents ${SAMPLES}/*.fodt)
convert(${documents})
# Web pages open in Writer/Web unless told otherwise, which exports no RTF.
file(GLOB pages ${SAMPLES}/*.html)
convert(${pages} "--infilter=HTML (StarWriter)")

foreach(source IN LISTS documents pages)
  get_filename_component(stem ${source} NAME_WE)
  if(NOT EXISTS ${OUT}/${stem}.rtf)
    message(FATAL_ERROR "soffice wrote no ${OUT}/${stem}.rtf")
  endif()
endforeach()
