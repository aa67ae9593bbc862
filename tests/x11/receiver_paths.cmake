# Where the receivers of the typing tests and benchmarks (receivers.cpp)
# find the project's text windows and the browser page; an empty path for a
# window that was not built. Whoever starts a window depends on its target.
function(te_x11_receiver_paths target)
  set(gtk "")
  set(qt "")
  if(TARGET te-gtk-view)
    set(gtk "$<TARGET_FILE:te-gtk-view>")
  endif()
  if(TARGET te-qt-view)
    set(qt "$<TARGET_FILE:te-qt-view>")
  endif()
  target_compile_definitions(${target} PRIVATE
    TE_WINDOW_PATH="$<TARGET_FILE:te-window>"
    TE_GTK_VIEW_PATH="${gtk}"
    TE_QT_VIEW_PATH="${qt}"
    TE_TYPING_PAGE_PATH="${CMAKE_CURRENT_FUNCTION_LIST_DIR}/typing_page.html")
endfunction()
