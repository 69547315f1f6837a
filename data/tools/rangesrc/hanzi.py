"""Simplified to traditional Chinese for the catalogue texts.

Words first (the terms drive manuals in traditional script prefer, and
characters whose traditional form depends on the word), then characters.
Every Han character of a simplified text must be known here, either with its
traditional form or as written alike in both scripts, so that a new text with
an unconverted character cannot slip through.
"""

WORDS = {
    '软件': '軟體',
    '程序': '程式',
    '信号': '訊號',
    '数据': '資料',
    '模拟': '類比',
    '串行': '串列',
    '波特率': '鮑率',
    '电机': '馬達',
    '重复': '重複',
    '协议': '協定',
}

_SIMPLIFIED, _TRADITIONAL = (
    '偿写冲准减动励区协单却厂历压参发变号启响唤围复带应开异恒惯户护拟择损换据摆数断时显机'
    '来极标检测滤点热电监盘码种积紧级线组继缓脉节范补视计议讯设试读调谐负跃转软载输达运迟'
    '适选遥铁锁键长间项频额风验齿馈',
    '償寫衝準減動勵區協單卻廠歷壓參發變號啟響喚圍復帶應開異恆慣戶護擬擇損換據擺數斷時顯機'
    '來極標檢測濾點熱電監盤碼種積緊級線組繼緩脈節範補視計議訊設試讀調諧負躍轉軟載輸達運遲'
    '適選遙鐵鎖鍵長間項頻額風驗齒饋')
assert len(_SIMPLIFIED) == len(_TRADITIONAL)
CHARACTERS = dict(zip(_SIMPLIFIED, _TRADITIONAL))

SAME = set(
    '一三上下中串二互代令件份休位低作使例保信倍值偏停偶入全再冷出分切列到制功加升反取向器'
    '地基增多大天失奇始子定容射小履差常幅年序底度延式待微急性感扇指接控提操方旋映曲最本板'
    '柔校格模次止正殊段每比水波流清源滑漏版特率生用由益目直相眠瞬矩磁示禁程空突站端第等累'
    '缺置能自行表超跳辨逆通速部醒重量防阻降限除隔隙零面高'
    '（）：')


def _is_han(char):
    return '\u3000' <= char <= '\u9fff' or '\uff00' <= char <= '\uffef'


def traditional(text):
    result = []
    position = 0
    while position < len(text):
        for simplified, converted in WORDS.items():
            if text.startswith(simplified, position):
                result.append(converted)
                position += len(simplified)
                break
        else:
            char = text[position]
            if char in CHARACTERS:
                result.append(CHARACTERS[char])
            elif _is_han(char) and char not in SAME:
                raise ValueError('no traditional form known for %r in %r' % (char, text))
            else:
                result.append(char)
            position += 1
    return ''.join(result)
