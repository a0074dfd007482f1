# Compiles an IDL file with widl into a header, an _i.c file of its GUIDs and, when TLB is given,
# a type library, all in KELVARN_GENERATED_DIR (on the include and importlib paths of every other
# IDL compilation, so type libraries can import each other).
set(KELVARN_GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)
file(MAKE_DIRECTORY ${KELVARN_GENERATED_DIR})
# widl needs the SDK's IDL files (oaidl.idl ...) and stdole2.tlb; both come with Wine.
set(KELVARN_WINE_IDL_DIR /usr/include/wine/wine/windows CACHE PATH "Directory of the SDK IDL files")
set(KELVARN_WINE_TLB_DIR /usr/lib/x86_64-linux-gnu/wine/x86_64-windows CACHE PATH "Directory of stdole2.tlb")

# kelvarn_compile_idl(<idl> [TLB <name.tlb>] [DEPENDS <files>...])
# Sets <stem>_IDL_HEADER, <stem>_IDL_GUIDS and (with TLB) <stem>_IDL_TLB in the caller's scope.
function(kelvarn_compile_idl idl)
  cmake_parse_arguments(ARG "" "TLB" "DEPENDS" ${ARGN})
  get_filename_component(source ${idl} ABSOLUTE)
  get_filename_component(stem ${idl} NAME_WE)
  get_filename_component(source_dir ${source} DIRECTORY)
  set(flags -I${KELVARN_WINE_IDL_DIR} -I${CMAKE_SOURCE_DIR}/host -I${source_dir} -I${KELVARN_GENERATED_DIR}
            -L${KELVARN_WINE_TLB_DIR} -L${KELVARN_GENERATED_DIR})
  set(out ${KELVARN_GENERATED_DIR})
  add_custom_command(OUTPUT ${out}/${stem}.h
    COMMAND ${KELVARN_WIDL} ${flags} -h -o ${out}/${stem}.h ${source}
    DEPENDS ${source} ${ARG_DEPENDS} VERBATIM)
  add_custom_command(OUTPUT ${out}/${stem}_i.c
    COMMAND ${KELVARN_WIDL} ${flags} -u -o ${out}/${stem}_i.c ${source}
    DEPENDS ${source} ${ARG_DEPENDS} VERBATIM)
  set(${stem}_IDL_HEADER ${out}/${stem}.h PARENT_SCOPE)
  set(${stem}_IDL_GUIDS ${out}/${stem}_i.c PARENT_SCOPE)
  if(ARG_TLB)
    add_custom_command(OUTPUT ${out}/${ARG_TLB}
      COMMAND ${KELVARN_WIDL} ${flags} -t -o ${out}/${ARG_TLB} ${source}
      COMMAND perl ${CMAKE_SOURCE_DIR}/cmake/tlb-fixed-stamp.pl ${out}/${ARG_TLB}
      DEPENDS ${source} ${ARG_DEPENDS} ${CMAKE_SOURCE_DIR}/cmake/tlb-fixed-stamp.pl VERBATIM)
    set(${stem}_IDL_TLB ${out}/${ARG_TLB} PARENT_SCOPE)
  endif()
endfunction()
