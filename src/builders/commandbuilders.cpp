#include "builders/commandbuilders.h"
#include "builders/accountbuilders.h"
#include "builders/forumbuilders.h"
#include "builders/patiobuilders.h"

namespace kirano {

Builder builderOf(Command command, int item) {
    if (item != 0)
        return command == Command::Dldown && item == 1 ? buildDldown : nullptr;
    switch (command) {
    case Command::Bill:
        return buildBill;
    case Command::Myforum:
        return buildMyforum;
    case Command::Mestitlea:
        return buildMestitlea;
    case Command::Dltitlea:
        return buildDltitlea;
    case Command::Mesread:
        return buildMesread;
    case Command::Mesup:
        return buildMesup;
    case Command::Mailuptxt:
        return buildMailuptxt;
    case Command::Mailupbin:
        return buildMailupbin;
    case Command::Mesrc:
        return buildMesrc;
    case Command::Dltitleb:
        return buildDltitleb;
    case Command::Dldown:
        return buildDldownFromList;
    case Command::New:
        return buildNew;
    case Command::Patioread:
        return buildPatioread;
    case Command::Patioup:
        return buildPatioup;
    case Command::Patiorc:
        return buildPatiorc;
    case Command::Bbsup:
        return buildBbsup;
    case Command::Newtitle:
        return buildNewtitle;
    }
    return nullptr;
}

} // namespace kirano
