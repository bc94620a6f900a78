# The Windows installer (target `msi`): regwizard-x64.msi or regwizard-x86.msi
# in the build folder, made by wixl from cmake/msi/RegWizard.wxs out of
# RegWizard.dll, quorvale-host.exe and the demo application folder.
find_program(REGWIZ_WIXL wixl)
if(NOT REGWIZ_WIXL)
  message(STATUS "wixl not found: no `msi` target")
  return()
endif()

# Each architecture's installer has its own identities, so both may be
# installed side by side on a 64-bit system.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(msi_arch x64)
  set(msi_defines -D Win64=yes -D ProgramFiles=ProgramFiles64Folder -D TypeLibPlatform=win64
      -D UpgradeCode=E9122CA8-8697-47F9-B46D-90A0BB320812
      -D GuidEngine=F9F84144-41B9-41DE-B4A0-A9F9F78E552A
      -D GuidHost=783CC5BF-31EA-407B-8E99-ACB71EB90CBF
      -D GuidAppFiles=03ED2AB3-FD1E-4F86-B573-A048D9EAB5D8
      -D GuidSettings=A8387274-989E-40CB-8FE5-FF44F5D80A2B
      -D GuidConf=4B9FCFD4-C87F-450A-82BF-DDB718518DEE)
else()
  set(msi_arch x86)
  set(msi_defines -D Win64=no -D ProgramFiles=ProgramFilesFolder -D TypeLibPlatform=win32
      -D UpgradeCode=39BE55F8-058E-4D95-8CB5-5CC500900039
      -D GuidEngine=46BB18AF-A3E2-4638-8224-8BD0AF4FC404
      -D GuidHost=5412E477-85DD-4AF0-AF08-DFC3172E5394
      -D GuidAppFiles=00E0E300-1D7C-4D57-A083-E8812359BC30
      -D GuidSettings=E15E4517-492C-4169-814E-93889FD15845
      -D GuidConf=D463F6CA-03AC-4775-9F56-85BA52B997ED)
endif()

set(msi_source ${CMAKE_CURRENT_LIST_DIR}/msi/RegWizard.wxs)
set(REGWIZ_MSI ${PROJECT_BINARY_DIR}/regwizard-${msi_arch}.msi)
# wixl takes the files from its working folder, laid out as they are installed.
set(msi_stage ${PROJECT_BINARY_DIR}/msi-files)
set(msi_app ${PROJECT_SOURCE_DIR}/apps/demo)
add_custom_command(OUTPUT ${REGWIZ_MSI}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${msi_stage}/conf
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:regwizard> ${msi_stage}/RegWizard.dll
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:quorvale-host> ${msi_stage}/quorvale-host.exe
  COMMAND ${CMAKE_COMMAND} -E copy ${msi_app}/app/agree.txt ${msi_app}/Registration.html ${msi_stage}
  COMMAND ${CMAKE_COMMAND} -E copy ${msi_app}/app/conf/register.cfg ${msi_stage}/conf
  COMMAND ${CMAKE_COMMAND} -E chdir ${msi_stage} ${REGWIZ_WIXL} --arch ${msi_arch} -o ${REGWIZ_MSI} ${msi_defines}
          -D ProductVersion=${PROJECT_VERSION}.0 ${msi_source}
  DEPENDS ${msi_source} regwizard quorvale-host ${msi_app}/app/agree.txt
          ${msi_app}/app/conf/register.cfg ${msi_app}/Registration.html
  VERBATIM)
# Part of every build, so that the tests under wine find it.
add_custom_target(msi ALL DEPENDS ${REGWIZ_MSI})
