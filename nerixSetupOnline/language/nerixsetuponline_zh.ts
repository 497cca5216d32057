<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh">
<context>
    <name>QObject</name>
    <message>
        <source>language2</source>
        <translation>提示</translation>
    </message>
    <message>
        <source>language6</source>
        <translation>Quorbel</translation>
    </message>
    <message>
        <source>language7</source>
        <translation>Corvane</translation>
    </message>
    <message>
        <source>language9</source>
        <translation>请勿将本程序安装到你需要恢复的分区，以免要恢复的文件被覆盖！</translation>
    </message>
    <message>
        <source>language10</source>
        <translation>检测到已安装了程序，是否要卸载已安装的程序？</translation>
    </message>
</context>
<context>
    <name>nerixSetupOnline</name>
    <message>
        <source>language1</source>
        <translation>正在安装，请稍后（已完成</translation>
    </message>
    <message>
        <source>language2</source>
        <translation>提示</translation>
    </message>
    <message>
        <source>language3</source>
        <translation>已经安装成功，是否关闭安装程序？</translation>
    </message>
    <message>
        <source>language4</source>
        <translation>是否要退出安装程序？</translation>
    </message>
    <message>
        <source>language5</source>
        <translation>安装失败</translation>
    </message>
    <message>
        <source>language6</source>
        <translation>Quorbel</translation>
    </message>
    <message>
        <source>language11</source>
        <translation>关闭</translation>
    </message>
    <message>
        <source>language12</source>
        <translation>最小化</translation>
    </message>
    <message>
        <source>Open Directory</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>InstallThread</name>
    <message>
        <source>language6</source>
        <translation>Quorbel</translation>
    </message>
    <message>
        <source>language7</source>
        <translation>Corvane</translation>
    </message>
    <message>
        <source>language8</source>
        <translation>卸载</translation>
    </message>
</context>
<context>
    <name>nerixSetupOnlineClass</name>
    <message>
        <source>nerixSetupOnline</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>自定义安装 &gt;&gt;</source>
        <translation>自定义安装 &gt;&gt;</translation>
    </message>
    <message>
        <source>自定义安装</source>
        <translation>自定义安装</translation>
    </message>
    <message>
        <source>Corvane</source>
        <translation>Corvane</translation>
    </message>
    <message>
        <source>立即安装</source>
        <translation>立即安装</translation>
    </message>
    <message>
        <source>我已阅读并同意</source>
        <translation>我已阅读并同意</translation>
    </message>
    <message>
        <source>用户使用协议</source>
        <translation>用户使用协议</translation>
    </message>
    <message>
        <source>浏览</source>
        <translation>浏览</translation>
    </message>
    <message>
        <source>安装路径：</source>
        <translation>安装路径：</translation>
    </message>
    <message>
        <source>磁盘空间不足，请选择其他安装目录进行安装！</source>
        <translation>磁盘空间不足，请选择其他安装目录进行安装！</translation>
    </message>
    <message>
        <source>占用空间：</source>
        <translation>占用空间：</translation>
    </message>
    <message>
        <source>可用空间：</source>
        <translation>可用空间：</translation>
    </message>
    <message>
        <source>212.1MB</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>12.2GB</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>重新安装</source>
        <translation>重新安装</translation>
    </message>
    <message>
        <source>立即启动</source>
        <translation>立即启动</translation>
    </message>
    <message>
        <source>正在安装，请稍后（已完成72%）</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p align=&quot;center&quot;&gt;专业数据恢复团队打造一键自助恢复&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p align=&quot;center&quot;&gt;专业数据恢复团队打造一键自助恢复&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p align=&quot;center&quot;&gt;&lt;span&gt;支持电脑，硬盘，回收站，U盘，SD卡，相机等&lt;br/&gt;各类存储设备数据恢复&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p align=&quot;center&quot;&gt;&lt;span&gt;支持电脑，硬盘，回收站，U盘，SD卡，相机等&lt;br/&gt;各类存储设备数据恢复&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p align=&quot;center&quot;&gt;支持照片，文档，视频，邮件，音乐&lt;br/&gt;等550+种文件格恢复&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p align=&quot;center&quot;&gt;支持照片，文档，视频，邮件，音乐&lt;br/&gt;等550+种文件格恢复&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
</context>
</TS>
