"""-install through its folder dialog, typed as a user types, and the
uninstall batch file it leaves, run by Wine's command interpreter."""
import os
import subprocess
import unittest

from harness import WINE, SessionTest
from install_common import (TITLE, UNINSTALL_KEY, answer_with_folder, batch_file, folder_text, next_box,
                            program_group, wait_dialog, windows_path)

IDOK, IDYES, IDNO = 1, 6, 7
COPIED = ["file_id.diz", "readme.txt", "Velmorax.exe", "Velmorax.hlp", "VelRes.dll", "VelZmbv.dll", "Velmorax.cnt",
          "Velmorax.ini"]
# What the batch file deletes after installing into a new folder: the copied files, the help
# viewer's index and the options file that the program may write later.
REMOVED = ["file_id.diz", "Velmorax.exe", "VelRes.dll", "VelZmbv.dll", "Velmorax.hlp", "Velmorax.cnt", "Velmorax.GID",
           "Velmorax.ini", "readme.txt"]
COMPANY_HKCU, COMPANY_HKLM = r"HKCU\SOFTWARE\Orvantis", r"HKLM\SOFTWARE\Orvantis"
DRIVERS_KEY = r"HKLM\SOFTWARE\Microsoft\Windows NT\CurrentVersion\Drivers32"


def contents(folder):
    """Every file of a folder with its bytes."""
    result = {}
    for name in os.listdir(folder):
        with open(os.path.join(folder, name), "rb") as f:
            result[name] = f.read()
    return result


def expected_batch(folder):
    """The batch file for a folder that needs quotes, in the console's code page (437 under Wine)."""
    def path(name):
        return '"%s"' % (folder + ("\\" + name if name else "")).replace("%", "%%")
    lines = ["@echo off", path("Velmorax") + " -uninstall", "if errorlevel 1 goto finish"]
    for name in REMOVED:
        lines += ["attrib -r -s -h " + path(name), "del " + path(name)]
    lines += ["rmdir " + path(""), "cls",
              'echo Please ignore any "File not found" or "Batch file missing" error messages.',
              "echo They mean that Velmorax was completely uninstalled.", "echo You may close this window now.",
              "echo.", r"del C:\windows\UnZelko.bat", ":finish"]
    return "".join(line + "\r\n" for line in lines).encode("cp437")


class Install(SessionTest):
    def uninstall(self, button, *cmd_options):
        """Runs the batch file as the "Uninstall Velmorax" item runs it and answers the question."""
        s = self.s
        cmd = subprocess.Popen([WINE, "cmd"] + list(cmd_options) + ["/c", r"C:\windows\UnZelko.bat"], cwd=s.work,
                               env=s.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        box = next_box(s, None)
        self.assertEqual((box["caption"], box["text"]),
                         ("Velmorax", "Do you want to remove Velmorax from this computer?"))
        s.answer(box, button)
        return s.wait_exit(cmd)

    def test_dialog_refuses_bad_folders_then_installs_and_the_batch_file_uninstalls(self):
        s = self.s
        source = contents(s.program_dir())
        locked = os.path.join(s.dir, "locked")          # root may write anywhere, except into an immutable folder
        os.mkdir(locked)
        subprocess.run(["chattr", "+i", locked], check=True)
        self.addCleanup(subprocess.run, ["chattr", "-i", locked])
        open(os.path.join(s.dir, "a file"), "w").close()
        s.reg_add(COMPANY_HKCU + r"\Velmorax\State", "Width", "REG_DWORD", 500)
        s.reg_add(COMPANY_HKCU + r"\Velmorax\Keys", "Start Key", "REG_DWORD", 113)
        s.reg_add(COMPANY_HKCU + r"\Other", "Kept", "REG_SZ", "yes")   # another product of the company
        s.reg_add(COMPANY_HKLM + r"\Velmorax", "Any", "REG_SZ", "x")
        target = os.path.join(s.dir, "Tom & Jerry 100% (1) Caf\u00e9")
        win_target = windows_path(target)

        proc = s.start("-install")
        window = s.wait_window(TITLE)
        dialog = window["hwnd"]
        self.assertEqual(folder_text(s, dialog), r"C:\Velmorax")
        left, top, right, bottom = window["rect"]
        self.assertEqual((left, top), (512 - (right - left) // 2, 384 - (bottom - top) // 2))   # centred

        def refused(text, *answers):
            replies = answer_with_folder(s, dialog, text, *answers)
            self.assertTrue(all(caption == TITLE for caption, _ in replies))
            return [message for _, message in replies]

        self.assertEqual(refused("C:\\", IDOK),
                         ['Directory "C:\\" is the root directory of a drive. Please specify a directory below it.'])
        self.assertIn("too long", refused(windows_path(s.dir) + "\\" + "x" * 230, IDOK)[0])
        self.assertIn("double quote", refused(windows_path(s.dir) + '\\say "hi"', IDOK)[0])
        below_file = windows_path(os.path.join(s.dir, "a file", "sub"))
        self.assertEqual(refused(below_file, IDYES, IDOK),
                         ['Directory "%s" does not exist. Do you want to create it?' % below_file,
                          'Directory "%s" could not be created. Please specify a different name.' % below_file])
        self.assertEqual(refused(windows_path(locked), IDOK),
                         ['Directory "%s" is read-only. Please specify a different name.' % windows_path(locked)])
        # Declining the creation keeps the dialog open and creates nothing; Enter again and Yes go on.
        self.assertEqual(refused(win_target, IDNO),
                         ['Directory "%s" does not exist. Do you want to create it?' % win_target])
        self.assertFalse(os.path.exists(target))
        self.assertIsNone(proc.poll())
        s.xdotool("key", "Return")
        s.answer(next_box(s, dialog), IDYES)
        self.assertEqual(s.wait_exit(proc), 0)

        # The distribution's files, exactly, and nothing else (no file of the write test).
        self.assertEqual(contents(target), {n: b for n, b in source.items() if n in COPIED})
        with open(batch_file(s), "rb") as f:
            self.assertEqual(f.read(), expected_batch(win_target))
        self.assertEqual(s.reg_query(UNINSTALL_KEY), {"DisplayName": ("REG_SZ", "Velmorax"),
                                                      "UninstallString": ("REG_SZ", r"C:\windows\UnZelko.bat")})
        # The codec is registered for other programs, with the installed library's path
        # (reg prints it in the console's code page).
        library = (win_target + "\\VelZmbv.dll").encode("cp437").decode("latin-1")
        self.assertEqual(s.reg_query(DRIVERS_KEY).get("vidc.ZMBV"), ("REG_SZ", library))
        group = program_group(s)
        self.assertEqual(sorted(os.listdir(group)), ["Uninstall Velmorax.lnk", "Velmorax Help.lnk",
                                                     "Velmorax README.lnk", "Velmorax.lnk"])

        # The batch file as the "Uninstall Velmorax" item runs it: No leaves everything in place.
        self.assertEqual(self.uninstall(IDNO), 1)   # "if errorlevel 1 goto finish"
        self.assertEqual(contents(target), {n: b for n, b in source.items() if n in COPIED})
        self.assertTrue(os.path.exists(batch_file(s)))
        self.assertIsNotNone(s.reg_query(UNINSTALL_KEY))
        self.assertEqual(len(os.listdir(group)), 4)

        self.uninstall(IDYES)
        self.assertFalse(os.path.exists(target))
        self.assertFalse(os.path.exists(batch_file(s)))
        self.assertIsNone(program_group(s))
        self.assertIsNone(s.reg_query(UNINSTALL_KEY))
        self.assertNotIn("vidc.ZMBV", s.reg_query(DRIVERS_KEY))
        self.assertIsNone(s.reg_query(COMPANY_HKCU + r"\Velmorax"))
        self.assertIsNone(s.reg_query(COMPANY_HKLM))                    # no other product: the company key goes
        self.assertEqual(s.reg_query(COMPANY_HKCU + r"\Other"), {"Kept": ("REG_SZ", "yes")})

    def test_own_folder_by_another_spelling_copies_nothing_and_blocked_uninstall_files_are_reported(self):
        s = self.s
        program = s.program_dir()
        before = contents(program)
        os.mkdir(batch_file(s))   # a folder in the batch file's place: it cannot be written
        s.wintool("lock-key", UNINSTALL_KEY.split("\\", 1)[1])   # a user without rights to the registry
        s.reg_add(DRIVERS_KEY, "vidc.ZMBV", "REG_SZ", r"C:\other\zmbv.dll")   # another program's codec
        spelling = "z:" + os.path.join(s.dir.upper(), "work", "..", "PROGRAM", ".")   # forward slashes too

        proc = s.start("-install")
        dialog = wait_dialog(s)
        replies = answer_with_folder(s, dialog, spelling, IDOK, IDOK)
        self.assertEqual(replies, [(TITLE, 'The uninstall batch file "C:\\windows\\UnZelko.bat" could not be written, '
                                           "so Velmorax cannot be uninstalled automatically. The installation goes on."),
                                   (TITLE, "The uninstall entry could not be written to the registry (no rights?), so "
                                           "Velmorax will not be listed among the installed programs. The installation "
                                           "goes on.")])
        self.assertEqual(s.wait_exit(proc), 0)

        self.assertEqual(contents(program), before)   # not one file copied onto itself
        self.assertEqual(s.reg_query(DRIVERS_KEY)["vidc.ZMBV"], ("REG_SZ", r"C:\other\zmbv.dll"))   # left alone
        self.assertEqual(s.reg_query(UNINSTALL_KEY), {})   # nothing written into the locked key
        items = os.listdir(program_group(s))
        self.assertIn("Velmorax.lnk", items)
        self.assertNotIn("Velmorax README.lnk", items)

        # Another installation's codec library, of the same name, keeps its driver entry.
        s.reg_add(DRIVERS_KEY, "vidc.ZMBV", "REG_SZ", r"C:\other\VelZmbv.dll")
        proc = s.start("-uninstall")
        s.answer(s.wait_message_box(), IDYES)
        self.assertEqual(s.wait_exit(proc), 0)
        self.assertEqual(s.reg_query(DRIVERS_KEY)["vidc.ZMBV"], ("REG_SZ", r"C:\other\VelZmbv.dll"))

    def test_a_users_files_are_replaced_only_when_asked_and_the_uninstall_leaves_them(self):
        s = self.s
        source = contents(s.program_dir())
        target = os.path.join(s.dir, "Tools!")   # "!" is syntax to a command processor with delayed expansion
        os.mkdir(target)
        users = {"setup.exe": b"the user's setup", "readme.txt": b"the user's notes", "Zelko1.exe": b"the user's tool"}
        earlier = {"file_id.diz": b"an earlier installation's"}
        for name, data in dict(users, **earlier).items():
            with open(os.path.join(target, name), "wb") as f:
                f.write(data)
        win_target = windows_path(target)
        with open(batch_file(s), "wb") as f:   # as the earlier installation left it: file_id.diz is ours
            f.write(("del %s\\file_id.diz\r\n" % win_target).encode("cp437"))

        proc = s.start("-install")
        dialog = wait_dialog(s)
        self.assertEqual(answer_with_folder(s, dialog, win_target, IDNO),
                         [(TITLE, 'Directory "%s" already holds files that Velmorax did not install there: '
                                  "readme.txt. Do you want to replace them? Choose No to specify a different "
                                  "directory." % win_target)])
        self.assertEqual(contents(target), dict(users, **earlier))   # No: nothing copied, the dialog stays open
        self.assertIsNone(proc.poll())
        s.xdotool("key", "Return")
        s.answer(next_box(s, dialog), IDYES)
        self.assertEqual(s.wait_exit(proc), 0)
        installed = {n: b for n, b in source.items() if n in COPIED}
        self.assertEqual(contents(target), dict(users, **installed))

        self.uninstall(IDYES, "/v:on")
        del users["readme.txt"]   # replaced with the user's consent: ours now
        self.assertEqual(contents(target), users)
        self.assertFalse(os.path.exists(batch_file(s)))


if __name__ == "__main__":
    unittest.main()
