#!/usr/bin/env python3
"""Writes the shipped language files lang/Common.lng and lang/Forms.lng from the tables below.

Both files are UTF-16 little-endian with a byte-order mark and CRLF line ends, so that every
alphabet survives whatever the system's 8-bit code page is. One section per text, one key per
language code. Run it after changing a text and commit the files it writes.
"""
import pathlib

LANGUAGES = ["BG", "EN", "RU", "SR", "RO"]
TITLE = "Quillomarte Corvanthelix"
# Each language's own name, which the Settings window's language list shows.
LANGUAGE_NAMES = ["Български", "English", "Русский", "Српски", "Română"]

# The ten option-list items: asked for by key when the Settings window fills its lists, and
# replaced by the same sections of "Forms.lng" when a language is applied to the window.
OPTION_ITEMS = [
    ("Settings|cSendTo|0", ["Всички", "All", "Все", "Сви", "Toate"]),
    ("Settings|cSendTo|1", ["Само цифри", "Digits only", "Только цифры", "Само цифре", "Doar cifre"]),
    ("Settings|cFilter|0", ["Неактивно", "No", "Нет", "Не", "Nu"]),
    ("Settings|cFilter|1", ["Активно", "Yes", "Да", "Да", "Da"]),
    ("Settings|cPrefix|0", ["Без префикс", "No prefix", "Без префикса", "Без префикса", "Fără prefix"]),
    ("Settings|cPrefix|1", ["Префикс", "Prefix", "Префикс", "Префикс", "Prefix"]),
    ("Settings|cPrefix|2", ["Префикс + код клиент", "Prefix + customer code",
                            "Префикс + код клиента", "Префикс + код купца", "Prefix + cod client"]),
    ("Settings|cPrefix|3", ["Префикс + код оператор", "Prefix + operator code",
                            "Префикс + код оператора", "Префикс + код оператера",
                            "Prefix + cod operator"]),
    ("Settings|cIsKeyBoard|0", ["Изключен", "Off", "Выключен", "Искључен", "Oprit"]),
    ("Settings|cIsKeyBoard|1", ["Включен", "On", "Включён", "Укључен", "Pornit"]),
]

CONNECT = ["Включване", "Connect", "Подключить", "Повежи", "Conectare"]
DISCONNECT = ["Изключване", "Disconnect", "Отключить", "Прекини везу", "Deconectare"]

COMMON = [
    ("strConnect", CONNECT),
    ("strDisconnect", DISCONNECT),
    ("mnuSettings", ["&Отвори", "&Open", "&Открыть", "&Отвори", "&Deschide"]),
    ("mnuExit", ["&Изход", "E&xit", "&Выход", "&Излаз", "&Ieșire"]),
    ("strLanguage", LANGUAGE_NAMES),
] + OPTION_ITEMS

# The balloon of a code that was not delivered: its title and the two reasons.
COMMON += [
    ("strNotDelivered", ["Кодът не е изпратен", "Code not delivered", "Код не передан",
                         "Код није послат", "Codul nu a fost trimis"]),
    ("strNoFocus", [
        "Quillomarte не получи фокуса на клавиатурата (отворено меню или друг прозорец отпред). "
        "Нищо не е въведено.",
        "Quillomarte did not get the keyboard focus (an open menu, or another window kept the "
        "front). Nothing was typed.",
        "Quillomarte не получил фокус клавиатуры (открыто меню или другое окно впереди). "
        "Ничего не введено.",
        "Quillomarte није добио фокус тастатуре (отворен мени или други прозор испред). "
        "Ништа није откуцано.",
        "Quillomarte nu a primit focusul tastaturii (un meniu deschis sau altă fereastră în "
        "față). Nu s-a tastat nimic."]),
    ("strKeysRefused", [
        "Windows отказа клавишите: Quillomarte работи като администратор или компютърът е "
        "заключен.",
        "Windows refused the keys: Quillomarte may run as administrator, or the workstation is "
        "locked.",
        "Windows отклонил нажатия клавиш: Quillomarte запущен от имени администратора или "
        "компьютер заблокирован.",
        "Windows је одбио тастере: Quillomarte ради као администратор или је рачунар закључан.",
        "Windows a refuzat tastele: Quillomarte rulează ca administrator sau stația este "
        "blocată."]),
]
# The reader's state, in the tray tip under the program's name: %1 and %2 are filled in.
TRAY_TIPS = [
    ("strTipPort", ["Свързан: %1, %2 бода", "Connected: %1, %2 baud", "Подключён: %1, %2 бод",
                    "Повезан: %1, %2 бода", "Conectat: %1, %2 baud"]),
    ("strTipKeyboard", ["Клавиатурен четец", "Keyboard reader", "Клавиатурный считыватель",
                        "Читач као тастатура", "Cititor tip tastatură"]),
    ("strTipNotConnected", ["Няма връзка", "Not connected", "Не подключён", "Није повезан",
                            "Neconectat"]),
    ("strTipRetrying", ["%1 не е свързан, нов опит", "%1 not connected, trying again",
                        "%1 не подключён, повторная попытка", "%1 није повезан, нови покушај",
                        "%1 neconectat, se reîncearcă"]),
    ("strTipDropped", ["Отхвърлени кодове над 1024 знака: %1",
                       "Codes over 1024 characters dropped: %1",
                       "Отброшено кодов длиннее 1024 знаков: %1",
                       "Одбачено кодова дужих од 1024 знака: %1",
                       "Coduri peste 1024 caractere ignorate: %1"]),
]
COMMON += TRAY_TIPS

# Window texts in the windows' load order. The Bulgarian texts are the design captions, so that
# choosing Bulgarian again brings every text back.
FORMS = [
    ("Settings|ME", [TITLE] * 5),
    ("Settings|frmOtherSettings", ["Други", "Other settings", "Другие настройки",
                                   "Остала подешавања", "Alte setări"]),
] + [
    item for item in OPTION_ITEMS if "cIsKeyBoard" in item[0]
] + [item for item in OPTION_ITEMS if "cPrefix" in item[0]
] + [item for item in OPTION_ITEMS if "cFilter" in item[0]
] + [item for item in OPTION_ITEMS if "cSendTo" in item[0]] + [
    ("Settings|lblLanguage", ["Език", "Language", "Язык", "Језик", "Limba"]),
    ("Settings|lbKeyBoardReader", ["Клавиатурен четец", "Keyboard reader",
                                   "Клавиатурный считыватель", "Читач као тастатура",
                                   "Cititor tip tastatură"]),
    ("Settings|lbPrefix", ["Разпознаване", "Code type", "Тип кода", "Врста кода", "Tip cod"]),
    ("Settings|lbFilter", ["Добавяне на Enter в края", "Enter after the code",
                           "Enter в конце кода", "Enter на крају кода", "Enter după cod"]),
    ("Settings|lblIdent", ["Идентификатор", "Last code", "Последний код", "Последњи код",
                           "Ultimul cod"]),
    ("Settings|lbSendTo", ["Символи", "Characters", "Символы", "Знакови", "Caractere"]),
    ("Settings|frmCom", ["Настройки на COM", "COM port settings", "Настройки COM-порта",
                         "Подешавања COM порта", "Setări port COM"]),
    ("Settings|lbFlowControl", ["Контрол", "Flow control", "Контроль потока", "Контрола тока",
                                "Control flux"]),
    ("Settings|lbStopBits", ["Стоп битове", "Stop bits", "Стоповые биты", "Стоп битови",
                             "Biți de stop"]),
    ("Settings|lbParity", ["Четност", "Parity", "Чётность", "Парност", "Paritate"]),
    ("Settings|lbDataBits", ["Дата битове", "Data bits", "Биты данных", "Битови података",
                             "Biți de date"]),
    ("Settings|lbBitsPerSecond", ["Скорост", "Baud rate", "Скорость", "Брзина", "Viteză"]),
    ("Settings|lbComPort", ["Com порт", "COM port", "COM-порт", "COM порт", "Port COM"]),
    ("Settings|bCancel", ["Скриване", "Hide", "Скрыть", "Сакриј", "Ascunde"]),
    ("Settings|bExit", ["Изход", "Exit", "Выход", "Излаз", "Ieșire"]),
    ("Settings|bConnection", CONNECT),
    ("Settings|bTest", ["Тест", "Test", "Тест", "Тест", "Test"]),
    ("TestSerial|ME", ["Тест", "Reader test", "Проверка считывателя", "Тест читача",
                       "Test cititor"]),
    ("TestSerial|bNewCode", ["Нов код", "New code", "Новый код", "Нови код", "Cod nou"]),
]


def render(title, table):
    lines = [f"; {title}", "; Written by scripts/gen-lang.py; change the texts there.", ""]
    seen = set()
    for section, texts in table:
        assert section not in seen, section
        assert len(texts) == len(LANGUAGES), section
        seen.add(section)
        lines.append(f"[{section}]")
        for code, text in zip(LANGUAGES, texts):
            assert text.strip() and "\n" not in text, (section, code)
            lines.append(f"{code}={text}")
        lines.append("")
    return "\r\n".join(lines)


def main():
    out = pathlib.Path(__file__).resolve().parent.parent / "lang"
    out.mkdir(exist_ok=True)
    files = {
        "Common.lng": render("Corvanthelix: texts asked for by key", COMMON),
        "Forms.lng": render("Corvanthelix: captions of the windows", FORMS),
    }
    for name, text in files.items():
        (out / name).write_bytes(b"\xff\xfe" + text.encode("utf-16-le"))
        print(f"wrote {out / name}")


if __name__ == "__main__":
    main()
